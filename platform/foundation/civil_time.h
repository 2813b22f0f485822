#pragma once
// The calendar fields (UTC) of a moment counted from the reference date, 2001-01-01, for the
// text of dates in property lists and descriptions. Moments are floored to whole seconds, as
// Apple's XML writer does. Those before year 1 or after year 9999 are pinned to the ends of that
// range so that every text has a four-digit year that reads back; NaN reads as the reference date.
#include <algorithm>
#include <chrono>
#include <cmath>

namespace platform {

struct CivilTime {
  int year, month, day, hour, minute, second;
};

inline CivilTime civilTime(double secondsSinceReferenceDate) {
  using namespace std::chrono;
  constexpr sys_seconds referenceDate = sys_days{year{2001} / January / 1};
  constexpr sys_seconds first = sys_days{year{1} / January / 1};
  constexpr sys_seconds last =
      sys_days{year{9999} / December / 31} + hours{23} + minutes{59} + seconds{59};
  constexpr auto lowest = static_cast<double>((first - referenceDate).count());
  constexpr auto highest = static_cast<double>((last - referenceDate).count());

  const double whole = std::isnan(secondsSinceReferenceDate)
                           ? 0.0
                           : std::clamp(std::floor(secondsSinceReferenceDate), lowest, highest);
  const sys_seconds moment = referenceDate + seconds{static_cast<long long>(whole)};
  const sys_days day = floor<days>(moment);
  const year_month_day date{day};
  const hh_mm_ss time{moment - day};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(time.hours().count()),
          static_cast<int>(time.minutes().count()),
          static_cast<int>(time.seconds().count())};
}

}  // namespace platform
