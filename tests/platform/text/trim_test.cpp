#include "platform/text/trim.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TrimSpaceAndPunctuation, DropsBothEdgesOnly) {
  struct Row {
    std::string text;
    std::string trimmed;
  };
  const std::vector<Row> rows = {
      {"  Hi!  ", "Hi"},
      {"\u00a1\u00bfQu\u00e9 tal?!", "Qu\u00e9 tal"},
      {"\"don't\"", "don't"},
      {"...wait... what?", "wait... what"},
      {"\u3000\u300c\u6771\u4eac\u300d\u3002", "\u6771\u4eac"},  // full-width space and brackets
      {"\U0001F355!", "\U0001F355"},                             // an emoji is not punctuation
      {"$5", "$5"},                                              // nor is a symbol
      {"cafe\u0301.", "cafe\u0301"},
      {"?! \n", ""},
      {"", ""},
      {std::string("\xff!", 2), "\xff"},  // a byte that is not UTF-8 is kept
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(platform::text::trimSpaceAndPunctuation(row.text), row.trimmed);
  }
}

}  // namespace
