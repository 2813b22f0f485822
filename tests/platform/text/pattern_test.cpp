#include "platform/text/pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::text::Pattern;
using platform::text::PatternSubject;

TEST(Pattern, IgnoresCaseAndCanonicalSpelling) {
  struct Row {
    const char* pattern;
    const char* text;
    bool found;
  };
  const std::vector<Row> rows = {
      {"caf\u00e9", "CAFE\u0301 noir", true},  // composed pattern, decomposed text
      {"cafe\u0301", "caf\u00c9", true},       // and the other way round
      {"[\u00e9\u00e8]t\u00e9", "E\u0301TE\u0301", true},
      {"stra\u00dfe", "STRASSE", false},  // case is ignored letter by letter
      {"^$", "", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.pattern) + " / " + row.text);
    const auto pattern = Pattern::compile(row.pattern);
    ASSERT_TRUE(pattern) << pattern.reason();
    EXPECT_EQ(pattern->foundIn(PatternSubject(row.text)), row.found);
  }
}

TEST(Pattern, ThatDoesNotCompileSaysWhyInRe2sWords) {
  struct Row {
    const char* pattern;
    const char* reason;
  };
  const std::vector<Row> rows = {
      {"(order", "missing )"},  // the whole pattern is not repeated
      {"order)", "unexpected )"},
      {"[abc", "missing ]"},
      {"a\\q", "invalid escape sequence: \\q"},
      {"[z-a]", "invalid character class range: z-a"},
      {"a**", "bad repetition operator: **"},
      {"x{2,1}", "invalid repetition size: {2,1}"},
      {"(?<name>x)", "invalid perl operator: (?<"},  // RE2 names groups (?P<name>x)
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pattern);
    const auto pattern = Pattern::compile(row.pattern);
    ASSERT_FALSE(pattern);
    EXPECT_EQ(pattern.reason(), row.reason);
  }
}

}  // namespace
