// Which lines start a message, and what the dates of a whole file say
// about their order.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/replay/line_start.h"

namespace replay_test {
namespace {

using namespace tools::replay;

TEST(LineStartTest, AMessagesFollowingLinesThatLookLikeOneAreNotStarts) {
  const char* const lines[] = {
      "31/12/2020 was a good day",     "21:41 - Ann: hi",
      "31/12/2020, 25:00 - Ann: hi",   "31/12/2020, 21:60 - Ann: hi",
      "13/13/2020, 21:41 - Ann: hi",   "31/04/2020, 21:41 - Ann: hi",
      "31/12/123, 21:41 - Ann: hi",    "31/12-2020, 21:41 - Ann: hi",
      "12/31/20, 13:41 PM - Ann: hi",  "[31/12/20, 21:41:05 Ann: hi",
      "31/12/2020, 21:41 Ann: hi",     "2020/12/31/1, 21:41 - Ann: hi",
      "- 31/12/2020, 21:41 - Ann: hi", "31/12/20201, 21:41 - Ann: hi",
  };
  for (const auto* line : lines) EXPECT_FALSE(readLineStart(line)) << line;
}

TEST(DateOrderTest, TheWholeFilesDatesDecideAndThePreferenceBreaksATie) {
  const struct {
    std::vector<const char*> dates;
    std::optional<DateOrder> preferred;
    std::optional<DateOrder> order;  // none: a failure
    bool assumed;
  } cases[] = {
      {{"01/02/20", "31/12/20"}, {}, DateOrder::DayFirst, false},
      {{"01/02/20", "12/31/20"}, {}, DateOrder::MonthFirst, false},
      {{"2020-12-31", "2021-01-02"}, {}, DateOrder::YearFirst, false},
      {{"01/02/20", "03/04/2021"}, {}, DateOrder::DayFirst, true},
      {{"01/02/20", "03/04/2021"}, DateOrder::MonthFirst, DateOrder::MonthFirst, false},
      {{"20/12/31"}, {}, DateOrder::DayFirst, false},  // not 31 December 2020 unless asked
      {{"20/12/31"}, DateOrder::YearFirst, DateOrder::YearFirst, false},
      {{"31/12/20"}, DateOrder::MonthFirst, DateOrder::DayFirst, false},
      {{"13/01/20", "01/13/20"}, {}, std::nullopt, false},
      {{"31/12/2020", "2020/12/31"}, {}, std::nullopt, false},
  };
  for (const auto& test : cases) {
    DateOrderEvidence evidence;
    std::size_t line = 0;
    for (const auto* date : test.dates) {
      const auto start = readLineStart(std::string(date) + " 10:00 - Ann: hi");
      ASSERT_TRUE(start) << date;
      evidence.see(start->date, ++line);
    }
    const auto decided = evidence.decide(test.preferred);
    ASSERT_EQ(decided.ok(), test.order.has_value()) << test.dates.back();
    if (!decided) continue;
    EXPECT_EQ(decided->order, *test.order) << test.dates.back();
    EXPECT_EQ(decided->assumed, test.assumed) << test.dates.back();
  }
}

}  // namespace
}  // namespace replay_test
