#include "platform/foundation/wall_clock.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace platform {
namespace {

// Seconds from the Unix epoch to the reference date, 2001-01-01T00:00:00Z.
constexpr double kReferenceDateSinceEpoch = 978307200;

}  // namespace

Date systemDate() {
  const std::chrono::duration<double> sinceEpoch =
      std::chrono::system_clock::now().time_since_epoch();
  return {sinceEpoch.count() - kReferenceDateSinceEpoch};
}

Date dateNow() {
  auto& process = Process::current();
  if (process.clock() == Clock::Real) return systemDate();
  const std::chrono::duration<double> elapsed = process.mainQueue().now();
  return {process.wallClockStart().secondsSinceReferenceDate + elapsed.count()};
}

LocalTime localTime(Date moment) {
  const auto sinceEpoch = static_cast<std::time_t>(
      std::floor(moment.secondsSinceReferenceDate + kReferenceDateSinceEpoch));
  std::tm fields{};
  ::localtime_r(&sinceEpoch, &fields);
  return {fields.tm_year + 1900,
          fields.tm_mon + 1,
          fields.tm_mday,
          fields.tm_hour,
          fields.tm_min,
          fields.tm_sec,
          fields.tm_wday == 0 ? 7 : fields.tm_wday};
}

int daysBetween(const LocalTime& from, const LocalTime& to) {
  using namespace std::chrono;
  const auto day = [](const LocalTime& time) {
    return sys_days{year{time.year} / month{static_cast<unsigned>(time.month)} /
                    static_cast<unsigned>(time.day)};
  };
  return static_cast<int>((day(to) - day(from)).count());
}

std::optional<Date> parseLocalDateTime(std::string_view text) {
  std::tm fields{};
  char end = 0;
  const std::string copy(text);
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' ||
      std::sscanf(copy.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &fields.tm_year, &fields.tm_mon,
                  &fields.tm_mday, &fields.tm_hour, &fields.tm_min, &fields.tm_sec, &end) != 6) {
    return std::nullopt;
  }
  const std::tm asWritten = fields;
  fields.tm_year -= 1900;
  fields.tm_mon -= 1;
  fields.tm_isdst = -1;
  const std::time_t sinceEpoch = std::mktime(&fields);
  // mktime moves 31 February to March: a date it had to move was no date.
  if (sinceEpoch == -1 || fields.tm_mday != asWritten.tm_mday ||
      fields.tm_mon + 1 != asWritten.tm_mon || fields.tm_hour != asWritten.tm_hour ||
      fields.tm_min != asWritten.tm_min) {
    return std::nullopt;
  }
  return Date{static_cast<double>(sinceEpoch) - kReferenceDateSinceEpoch};
}

}  // namespace platform
