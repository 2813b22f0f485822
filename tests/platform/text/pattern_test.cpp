#include "platform/text/pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::text::Pattern;
using platform::text::PatternSubject;

TEST(Pattern, IsFoundAnywhereIgnoringCaseAndCanonicalSpelling) {
  struct Row {
    const char* pattern;
    const char* text;
    bool found;
  };
  const std::vector<Row> rows = {
      {"order #?\\d+", "Where is ORDER 1234?", true},
      {"order #?\\d+", "my order is late", false},
      {"^hi\\b", "Hi there", true},
      {"^hi\\b", "this", false},
      {"\\bprice\\??$", "what's the price?", true},
      {"caf\u00e9", "CAFE\u0301 noir", true},  // composed pattern, decomposed text
      {"cafe\u0301", "caf\u00c9", true},       // and the other way round
      {"[\u00e9\u00e8]t\u00e9", "E\u0301TE\u0301", true},
      {"\u6771\u4eac", "\u6771\u4eac\u90fd\u306b\u884c\u304d\u307e\u3059", true},
      {"\U0001F355+", "I want \U0001F355\U0001F355", true},
      {"", "anything", true},  // the empty pattern matches everywhere
      {"x", "", false},
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

TEST(Pattern, TakesLinearTimeOnAPatternThatBacktrackingWouldNeverFinish) {
  const auto pattern = Pattern::compile("(a+)+$");
  ASSERT_TRUE(pattern);
  EXPECT_FALSE(pattern->foundIn(PatternSubject(std::string(100'000, 'a') + "!")));
  EXPECT_TRUE(pattern->foundIn(PatternSubject(std::string(100'000, 'a'))));
}

}  // namespace
