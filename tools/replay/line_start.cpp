#include "tools/replay/line_start.h"

#include <initializer_list>

#include "tools/replay/text_marks.h"

namespace tools::replay {
namespace {

// Reads a line from left to right. A take that fails leaves the cursor where
// it was; a copy of the cursor is a place to come back to.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  std::string_view rest() const { return text_; }

  bool take(std::string_view expected) {
    if (!text_.starts_with(expected)) return false;
    text_.remove_prefix(expected.size());
    return true;
  }

  bool takeAny(std::initializer_list<std::string_view> choices) {
    for (const auto choice : choices) {
      if (take(choice)) return true;
    }
    return false;
  }

  // The separator of a date's numbers.
  std::optional<char> takeDateSeparator() {
    if (text_.empty() || (text_[0] != '/' && text_[0] != '.' && text_[0] != '-')) return {};
    const char separator = text_[0];
    text_.remove_prefix(1);
    return separator;
  }

  // A whole number of between fewest and most digits; its digits counted.
  std::optional<std::pair<int, int>> number(int fewest, int most) {
    int value = 0;
    int digits = 0;
    while (digits < most && digits < static_cast<int>(text_.size()) && text_[digits] >= '0' &&
           text_[digits] <= '9') {
      value = value * 10 + (text_[digits] - '0');
      ++digits;
    }
    const bool moreDigits =
        digits < static_cast<int>(text_.size()) && text_[digits] >= '0' && text_[digits] <= '9';
    if (digits < fewest || moreDigits) return {};
    text_.remove_prefix(static_cast<std::size_t>(digits));
    return std::pair{value, digits};
  }

 private:
  std::string_view text_;
};

// The blanks the app writes inside times: a space, a narrow no-break space
// (U+202F, before "PM" since 2023) or a no-break space.
bool takeBlank(Cursor& cursor) { return cursor.takeAny({" ", "\u202F", "\u00A0"}); }

std::optional<DateFields> readDateFields(Cursor& cursor) {
  DateFields date{};
  std::optional<char> separator;
  for (std::size_t i = 0; i < 3; ++i) {
    if (i > 0) {
      const auto next = cursor.takeDateSeparator();
      if (!next || (separator && *next != *separator)) return {};
      separator = next;
      if (*separator == '.') cursor.take(" ");  // "2020. 12. 31."
    }
    const auto field = cursor.number(1, i == 1 ? 2 : 4);
    if (!field) return {};
    date.values[i] = field->first;
    date.digits[i] = field->second;
  }
  if (separator == '.') cursor.take(".");
  return date;
}

// "AM", "pm", "a. m.", "p.m.": afternoon or not; none when there is none.
std::optional<bool> readHalfOfDay(Cursor& cursor) {
  Cursor at = cursor;
  bool afternoon = false;
  if (at.takeAny({"p", "P"})) {
    afternoon = true;
  } else if (!at.takeAny({"a", "A"})) {
    return {};
  }
  at.take(".");
  takeBlank(at);
  if (!at.takeAny({"m", "M"})) return {};
  at.take(".");
  cursor = at;
  return afternoon;
}

std::optional<ClockTime> readClockTime(Cursor& cursor) {
  const auto hour = cursor.number(1, 2);
  if (!hour || !cursor.take(":")) return {};
  const auto minute = cursor.number(2, 2);
  if (!minute) return {};
  ClockTime time{hour->first, minute->first, 0};
  Cursor withSeconds = cursor;
  if (withSeconds.take(":")) {
    if (const auto second = withSeconds.number(2, 2)) {
      time.second = second->first;
      cursor = withSeconds;
    }
  }
  Cursor withHalf = cursor;
  const auto afternoon = takeBlank(withHalf) ? readHalfOfDay(withHalf) : std::nullopt;
  if (afternoon) {
    if (time.hour > 12) return {};
    time.hour = time.hour % 12 + (*afternoon ? 12 : 0);
    cursor = withHalf;
  }
  if (time.hour > 23 || time.minute > 59 || time.second > 59) return {};
  return time;
}

bool readsInSomeOrder(const DateFields& date) {
  return readDate(date, DateOrder::DayFirst) || readDate(date, DateOrder::MonthFirst) ||
         readDate(date, DateOrder::YearFirst);
}

}  // namespace

std::optional<LineStart> readLineStart(std::string_view line) {
  Cursor cursor(withoutLeadingMarks(line));
  const bool bracketed = cursor.take("[");
  const auto date = readDateFields(cursor);
  if (!date || !readsInSomeOrder(*date)) return {};
  if (!cursor.takeAny({", ", " \u00E0 ", " "})) return {};
  const auto time = readClockTime(cursor);
  if (!time) return {};
  if (bracketed ? !cursor.take("] ") : !cursor.takeAny({" - ", ": "})) return {};
  return LineStart{*date, *time, cursor.rest()};
}

std::optional<Authored> splitAuthor(std::string_view rest) {
  // The phone writes its own texts behind a mark where an author would be.
  if (withoutLeadingMarks(rest).size() != rest.size()) return {};
  const auto colon = rest.find(": ");
  if (colon != std::string_view::npos)
    return Authored{rest.substr(0, colon), rest.substr(colon + 2)};
  if (rest.ends_with(':')) return Authored{rest.substr(0, rest.size() - 1), {}};
  return {};
}

}  // namespace tools::replay
