#pragma once
// The line that starts a message in a chat export: a date and a time in one
// of the shapes the messaging app has written them, then the author and the
// first line of the text.
//   31/12/2020, 21:41 - Ann: text          Android
//   12/31/20, 9:41 PM - Ann: text          Android, 12-hour (U+202F or a blank before PM)
//   31/12/2020 à 21:41 - Ann: text         Android in French
//   [31/12/20, 21:41:05] Ann: text         the phone's own (U+200E in front of some lines)
//   30/08/16, 17:03:58: Ann: text          older exports
//   09/12/2012 17:02:35: Ann: text
// Dates with "/", "." or "-" (the year first or last, of two or four
// digits), 12- or 24-hour times with or without seconds, "PM", "p. m.",
// "p.m." and the like. A line of the app's own (the encryption notice, a group
// created) names no author.
#include <optional>
#include <string_view>

#include "tools/replay/date_order.h"

namespace tools::replay {

struct ClockTime {
  int hour;  // 0 to 23
  int minute;
  int second;
};

struct LineStart {
  DateFields date;
  ClockTime time;
  std::string_view rest;  // what follows the date and time: "Ann: text", or the app's own text
};

// The date and time line starts with; none when it starts with none (a
// message's following line). The date reads in at least one order.
std::optional<LineStart> readLineStart(std::string_view line);

struct Authored {
  std::string_view author;  // as written, white space and marks around it included
  std::string_view text;
};

// "Ann: text" as its author and text; none for a line of the app's own.
std::optional<Authored> splitAuthor(std::string_view rest);

}  // namespace tools::replay
