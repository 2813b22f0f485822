#include "Mornaq/engine/reply_policies.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include <fmt/format.h>

#include "Mornaq/engine/setting_values.h"

namespace mornaq {
namespace {

using platform::Date;
using platform::Dictionary;

constexpr double kSecondsPerMinute = 60;
constexpr double kSecondsPerHour = 3600;
constexpr double kLoopGuardWindow = kSecondsPerHour;
constexpr std::array<std::string_view, 7> kWeekdays{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                    "Friday", "Saturday", "Sunday"};

// A stored count: the digits of a whole number and nothing else.
std::optional<std::int64_t> wholeNumber(std::string_view text) {
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || text.front() == '-' || error != std::errc() ||
      end != text.data() + text.size()) {
    return std::nullopt;
  }
  return number;
}

// A positive whole number, or the default when the text is not one.
std::int64_t positiveOr(const Dictionary& settings, std::string_view key,
                        std::string_view fallback) {
  const auto number = wholeNumber(textValue(settings, key));
  return number && *number > 0 ? *number : *wholeNumber(fallback);
}

double since(Date then, Date now) {
  return now.secondsSinceReferenceDate - then.secondsSinceReferenceDate;
}

// "HH:MM" (or "H:MM") on a 24-hour clock, as minutes after midnight.
std::optional<int> clockMinutes(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || text.size() - colon != 3) return std::nullopt;
  const auto hours = wholeNumber(text.substr(0, colon));
  const auto minutes = wholeNumber(text.substr(colon + 1));
  if (!hours || !minutes || *hours > 23 || *minutes > 59 || colon > 2) return std::nullopt;
  return static_cast<int>(*hours * 60 + *minutes);
}

std::string clockText(int minutes) {
  return fmt::format("{:02}:{:02}", minutes / 60, minutes % 60);
}

// The schedule's days: digits, 1 = Monday ... 7 = Sunday; none: every day.
bool onScheduleDay(std::string_view days, int weekday) {
  const bool everyDay = std::none_of(days.begin(), days.end(),
                                     [](char digit) { return digit >= '1' && digit <= '7'; });
  return everyDay || days.find(static_cast<char>('0' + weekday)) != std::string_view::npos;
}

int weekdayAfter(int weekday, int days) { return (weekday - 1 + days) % 7 + 1; }

}  // namespace

std::string spanText(double seconds) {
  const auto whole = static_cast<std::int64_t>(std::floor(std::max(seconds, 0.0)));
  if (whole < 60) return fmt::format("{} s", whole);
  if (whole < 3600) return fmt::format("{} min", whole / 60);
  const auto minutes = (whole % 3600) / 60;
  if (minutes == 0) return fmt::format("{} h", whole / 3600);
  return fmt::format("{} h {} min", whole / 3600, minutes);
}

std::optional<PolicyVerdict> scheduleVerdict(const Dictionary& settings,
                                             const platform::LocalTime& receivedAt) {
  if (!switchValue(settings, format::kIsScheduleEnabled)) return std::nullopt;
  const std::string fromText = textValue(settings, format::kScheduleFrom);
  const std::string toText = textValue(settings, format::kScheduleTo);
  const auto from = clockMinutes(fromText);
  const auto to = clockMinutes(toText);
  if (!from || !to) {
    return PolicyVerdict{WhyReason::Schedule, false,
                         fmt::format("The schedule's times \"{}\" to \"{}\" are not HH:MM, so "
                                     "the schedule counts as off",
                                     fromText, toText)};
  }
  // A window that spans midnight opened the day before for a message
  // received before its end.
  const int received = receivedAt.hour * 60 + receivedAt.minute;
  bool inside = true;
  int openingDay = receivedAt.weekday;
  if (*from < *to) {
    inside = *from <= received && received < *to;
  } else if (*from > *to) {
    inside = received >= *from || received < *to;
    if (received < *to) openingDay = openingDay == 1 ? 7 : openingDay - 1;
  }
  const std::string days = textValue(settings, format::kScheduleDays);
  const bool onItsDay = onScheduleDay(days, openingDay);
  const std::string window =
      *from == *to ? "the whole day" : fmt::format("{} to {}", clockText(*from), clockText(*to));
  const std::string receivedText =
      fmt::format("Received at {} on {}", clockText(received), kWeekdays[receivedAt.weekday - 1]);
  if (!inside) {
    return PolicyVerdict{WhyReason::Schedule, true,
                         fmt::format("{}, outside the schedule's {}", receivedText, window)};
  }
  if (!onItsDay) {
    return PolicyVerdict{WhyReason::Schedule, true,
                         fmt::format("{}: the schedule's {} that opened on {} is not one of its "
                                     "days \"{}\"",
                                     receivedText, window, kWeekdays[openingDay - 1], days)};
  }
  return PolicyVerdict{WhyReason::Schedule, false,
                       fmt::format("{}, inside the schedule's {}", receivedText, window)};
}

std::string scheduleEndText(const Dictionary& settings, const platform::LocalTime& receivedAt,
                            const platform::LocalTime& leaves) {
  if (!switchValue(settings, format::kIsScheduleEnabled)) return "";
  const auto from = clockMinutes(textValue(settings, format::kScheduleFrom));
  const auto to = clockMinutes(textValue(settings, format::kScheduleTo));
  if (!from || !to) return "";
  // The end, in days after the day the message arrived and minutes after
  // that day's midnight.
  int day = 0;
  int minute = *to;
  if (*from == *to) {
    // Whole days adjoin one another: the window ends with the last of a run
    // of the schedule's days, and never when every day is one.
    minute = 0;
    const std::string days = textValue(settings, format::kScheduleDays);
    do {
      ++day;
    } while (day <= 7 && onScheduleDay(days, weekdayAfter(receivedAt.weekday, day)));
    if (day > 7) return "";
  } else if (*from > *to && receivedAt.hour * 60 + receivedAt.minute >= *from) {
    day = 1;  // the window opened this evening and ends tomorrow
  }
  if (day == platform::daysBetween(receivedAt, leaves)) return clockText(minute);
  return fmt::format("{} {}", kWeekdays[weekdayAfter(receivedAt.weekday, day) - 1],
                     clockText(minute));
}

std::optional<PolicyVerdict> replyOnceVerdict(const Dictionary& settings,
                                              const ReplyHistory& history, const ReplyChat& chat,
                                              Date now) {
  if (!switchValue(settings, format::kIsReplyOnce)) return std::nullopt;
  const std::int64_t hours =
      positiveOr(settings, format::kReplyOnceHours, format::kDefaultReplyOnceHours);
  const auto last = std::find_if(history.begin(), history.end(),
                                 [&](const auto& entry) { return entry.chat == chat.key; });
  if (last == history.end()) {
    return PolicyVerdict{
        WhyReason::ReplyOnce, false,
        fmt::format("{} got no reply yet; Reply once waits {} h", chat.name, hours)};
  }
  const double elapsed = since(last->time, now);
  return PolicyVerdict{WhyReason::ReplyOnce, elapsed < static_cast<double>(hours) * kSecondsPerHour,
                       fmt::format("{} got a reply {} ago; Reply once waits {} h", chat.name,
                                   spanText(elapsed), hours)};
}

std::optional<PolicyVerdict> userRepliedVerdict(const Dictionary& settings,
                                                const UserActivity& activity, const ReplyChat& chat,
                                                std::optional<Date> receivedAt) {
  if (!switchValue(settings, format::kIsCancelOnUserReply) || !receivedAt) return std::nullopt;
  const auto sent = activity.lastSentInChat.find(chat.key);
  if (sent == activity.lastSentInChat.end() || since(*receivedAt, sent->second) < 0) {
    return PolicyVerdict{
        WhyReason::UserReplied, false,
        fmt::format("You have not written to {} since the message arrived", chat.name)};
  }
  return PolicyVerdict{WhyReason::UserReplied, true,
                       fmt::format("You wrote to {} {} after the message arrived", chat.name,
                                   spanText(since(*receivedAt, sent->second)))};
}

std::optional<PolicyVerdict> userActiveVerdict(const Dictionary& settings,
                                               const UserActivity& activity, Date now) {
  if (!switchValue(settings, format::kIsAwayOnly)) return std::nullopt;
  const std::int64_t minutes =
      positiveOr(settings, format::kAwayMinutes, format::kDefaultAwayMinutes);
  if (!activity.lastSent) {
    return PolicyVerdict{
        WhyReason::UserActive, false,
        fmt::format("You have sent no message; Only when away waits {} min", minutes)};
  }
  const double elapsed = since(*activity.lastSent, now);
  return PolicyVerdict{WhyReason::UserActive,
                       elapsed < static_cast<double>(minutes) * kSecondsPerMinute,
                       fmt::format("You sent a message {} ago; Only when away waits {} min",
                                   spanText(elapsed), minutes)};
}

std::optional<PolicyVerdict> loopGuardVerdict(const Dictionary& settings,
                                              const ReplyHistory& history, const ReplyChat& chat,
                                              Date now) {
  const auto stored = wholeNumber(textValue(settings, format::kLoopGuardReplies));
  const std::int64_t limit = stored ? *stored : *wholeNumber(format::kDefaultLoopGuardReplies);
  if (limit == 0) return std::nullopt;
  const auto recent = std::count_if(history.begin(), history.end(), [&](const auto& entry) {
    return entry.chat == chat.key && since(entry.time, now) < kLoopGuardWindow;
  });
  return PolicyVerdict{WhyReason::LoopGuard, recent >= limit,
                       fmt::format("{} got {} replies in the last 60 min; the loop guard allows {}",
                                   chat.name, recent, limit)};
}

std::optional<Date> holdBackArrival(const Dictionary& settings, Date receivedAt) {
  if (!switchValue(settings, format::kIsCancelOnUserReply)) return std::nullopt;
  return receivedAt;
}

std::vector<PolicyVerdict> verdictsBeforeSending(const Dictionary& settings,
                                                 const ReplyHistory& history,
                                                 const UserActivity& activity,
                                                 const ReplyChat& chat,
                                                 std::optional<Date> receivedAt, Date now) {
  std::vector<PolicyVerdict> verdicts;
  for (auto verdict : {replyOnceVerdict(settings, history, chat, now),
                       userRepliedVerdict(settings, activity, chat, receivedAt),
                       userActiveVerdict(settings, activity, now),
                       loopGuardVerdict(settings, history, chat, now)}) {
    if (!verdict) continue;
    const bool holds = verdict->holds;
    verdicts.push_back(std::move(*verdict));
    if (holds) break;
  }
  return verdicts;
}

std::string heldBackLine(const PolicyVerdict& verdict) {
  return fmt::format("Mornaq held back a reply ({}): {}", whyReasonName(verdict.policy),
                     verdict.why);
}

std::optional<PolicyVerdict> firstHold(const std::vector<PolicyVerdict>& verdicts) {
  const auto hold = std::find_if(verdicts.begin(), verdicts.end(),
                                 [](const auto& verdict) { return verdict.holds; });
  if (hold == verdicts.end()) return std::nullopt;
  return *hold;
}

}  // namespace mornaq
