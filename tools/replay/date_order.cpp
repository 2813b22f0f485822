#include "tools/replay/date_order.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <vector>

namespace tools::replay {
namespace {

constexpr DateOrder kOrders[] = {DateOrder::DayFirst, DateOrder::MonthFirst, DateOrder::YearFirst};
constexpr std::string_view kNames[] = {"dmy", "mdy", "ymd"};
constexpr std::string_view kReadings[] = {"day first", "month first", "year first"};

std::size_t indexOf(DateOrder order) { return static_cast<std::size_t>(order); }

}  // namespace

std::optional<DateOrder> dateOrderNamed(std::string_view name) {
  const auto found = std::find(std::begin(kNames), std::end(kNames), name);
  if (found == std::end(kNames)) return std::nullopt;
  return kOrders[found - std::begin(kNames)];
}

std::string_view nameOf(DateOrder order) { return kNames[indexOf(order)]; }

std::optional<std::chrono::year_month_day> readDate(const DateFields& date, DateOrder order) {
  const auto [yearAt, monthAt, dayAt] = order == DateOrder::DayFirst     ? std::array{2, 1, 0}
                                        : order == DateOrder::MonthFirst ? std::array{2, 0, 1}
                                                                         : std::array{0, 1, 2};
  const int yearDigits = date.digits[yearAt];
  if ((yearDigits != 2 && yearDigits != 4) || date.digits[monthAt] > 2 || date.digits[dayAt] > 2) {
    return std::nullopt;
  }
  const int year = date.values[yearAt] + (yearDigits == 2 ? 2000 : 0);
  const std::chrono::year_month_day read{
      std::chrono::year(year), std::chrono::month(static_cast<unsigned>(date.values[monthAt])),
      std::chrono::day(static_cast<unsigned>(date.values[dayAt]))};
  if (!read.ok()) return std::nullopt;
  return read;
}

void DateOrderEvidence::see(const DateFields& date, std::size_t line) {
  for (const DateOrder order : kOrders) {
    auto& ruledOut = ruledOutAt_[indexOf(order)];
    if (ruledOut == 0 && !readDate(date, order)) ruledOut = line;
  }
}

platform::Result<DateOrderChoice> DateOrderEvidence::decide(
    std::optional<DateOrder> preferred) const {
  const auto fits = [this](DateOrder order) { return ruledOutAt_[indexOf(order)] == 0; };
  if (preferred && fits(*preferred)) return DateOrderChoice{*preferred};
  std::vector<DateOrder> candidates;
  std::copy_if(std::begin(kOrders), std::end(kOrders), std::back_inserter(candidates), fits);
  if (candidates.size() > 1) std::erase(candidates, DateOrder::YearFirst);
  if (candidates.size() == 1) return DateOrderChoice{candidates.front()};
  if (candidates.size() > 1) return DateOrderChoice{DateOrder::DayFirst, true};
  std::vector<std::string> lines;
  for (const DateOrder order : kOrders) {
    lines.push_back(fmt::format("line {} cannot be read {}", ruledOutAt_[indexOf(order)],
                                kReadings[indexOf(order)]));
  }
  return platform::Failure{
      fmt::format("its dates do not read in one order: {}", fmt::join(lines, ", "))};
}

}  // namespace tools::replay
