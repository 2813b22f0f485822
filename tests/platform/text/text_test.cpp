#include "platform/text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using platform::text::containsIgnoringCase;
using platform::text::equalsIgnoringCase;

struct TextCase {
  const char* haystack;
  const char* needle;
  bool contains;
  bool equal;
};

TEST(TextTest, CaseInsensitiveSearchAndEquality) {
  const TextCase cases[] = {
      {"THIS", "hi", true, false},
      {"Oh hi there", "hi", true, false},
      {"hi", "HI", true, true},
      {"Nothing this week", "hi", true, false},
      {"straße", "STRASSE", true, true},           // full case folding
      {"caf\u00e9", "cafe\u0301", true, true},     // composed and decomposed é
      {"Ärger", "ä", true, false},
      {"café", "cafe", false, false},               // an accent is part of its letter
      {"café au lait", "CAFÉ", true, false},
      {"hello", "", false, false},                 // an empty text is found in nothing
      {"", "", false, true},
      {"abc", "abd", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.haystack) + " / " + c.needle);
    EXPECT_EQ(containsIgnoringCase(c.haystack, c.needle), c.contains);
    EXPECT_EQ(equalsIgnoringCase(c.haystack, c.needle), c.equal);
  }
}

TEST(TextTest, NamesSortIgnoringCaseAndByTheLocale) {
  platform::text::NameCollator collator("en_US");
  std::vector<std::string> names = {"bob", "Carol", "Alice", "émile", "Eve", "dave"};
  std::sort(names.begin(), names.end(),
            [&](const auto& a, const auto& b) { return collator.compare(a, b) < 0; });
  EXPECT_EQ(names, (std::vector<std::string>{"Alice", "bob", "Carol", "dave", "émile", "Eve"}));
  EXPECT_EQ(collator.compare("alice", "ALICE"), 0);
  EXPECT_LT(collator.sortKey("Alice"), collator.sortKey("bob"));
  EXPECT_EQ(collator.sortKey("alice"), collator.sortKey("ALICE"));
}

}  // namespace
