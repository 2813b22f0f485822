#pragma once
// The order of a date's numbers in a chat export. The messaging app writes
// dates as the exporting phone's region does, and nothing in the file says
// which: the whole file's dates decide, and when every one of them reads both
// day first and month first, the user's choice or day first.
#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/foundation/result.h"

namespace tools::replay {

enum class DateOrder { DayFirst, MonthFirst, YearFirst };

// "dmy", "mdy" or "ymd", as `--date-order` takes them.
std::optional<DateOrder> dateOrderNamed(std::string_view name);
std::string_view nameOf(DateOrder order);

// A date's three numbers as written, and how many digits each has.
struct DateFields {
  std::array<int, 3> values;
  std::array<int, 3> digits;
};

// date read in order; none when it is no date that way (month 13, 31 April, a
// year of three digits). Two-digit years are this century's.
std::optional<std::chrono::year_month_day> readDate(const DateFields& date, DateOrder order);

struct DateOrderChoice {
  DateOrder order;
  // Every date read both day first and month first, and nothing chose:
  // day first was taken, which the user should be told.
  bool assumed = false;
};

// What the dates of a whole export say about their order.
class DateOrderEvidence {
 public:
  // Notes the date that starts the export's line number line.
  void see(const DateFields& date, std::size_t line);

  // The order every date reads in. preferred (the user's `--date-order`)
  // decides when the dates allow it; else the one order they allow, day or
  // month first rather than year first with two-digit years (31/12/20 is not
  // 20 December 2031); else day first, assumed. Fails, naming lines, when no
  // one order reads every date.
  platform::Result<DateOrderChoice> decide(std::optional<DateOrder> preferred) const;

 private:
  // For each order, the first line whose date it cannot read; 0 for none.
  std::array<std::size_t, 3> ruledOutAt_{};
};

}  // namespace tools::replay
