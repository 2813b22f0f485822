#pragma once
// The phone's date and time: what [NSDate date] and the current calendar give.
// A process on a virtual clock counts its date from a start moment plus the
// virtual time elapsed, so a timeline of dates is as exact as the queue's;
// a process on the real clock reads the system clock. Local fields use the
// time zone of the environment (TZ), as every program on the system does.
#include <optional>
#include <string_view>

#include "platform/foundation/value.h"

namespace platform {

// The local calendar fields of a moment; weekday 1 = Monday ... 7 = Sunday.
struct LocalTime {
  int year, month, day, hour, minute, second, weekday;
};

// The current process's date.
Date dateNow();

// The system clock's date, for processes that start "now".
Date systemDate();

LocalTime localTime(Date moment);

// Calendar days from one local date to another (1 from a Friday to the
// Saturday after it, whatever the hours).
int daysBetween(const LocalTime& from, const LocalTime& to);

// "YYYY-MM-DDTHH:MM:SS" read as local time; none when it is not such a text or
// not a moment of the local calendar.
std::optional<Date> parseLocalDateTime(std::string_view text);

}  // namespace platform
