#pragma once
// The reply policies: what may hold a chosen reply back. Each is a pure
// function of the message's facts, the settings, the reply history, the
// user's own sends and the wall-clock time, so the real run, a dry run and
// the tests ask the same functions. Each gives no verdict while it is off,
// and otherwise whether it holds the reply back with a sentence that names
// the numbers.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Mornaq/engine/why_reasons.h"
#include "common/reply_history.h"
#include "platform/foundation/value.h"
#include "platform/foundation/wall_clock.h"

namespace mornaq {

struct PolicyVerdict {
  WhyReason policy;
  bool holds = false;
  std::string why;
};

using ReplyHistory = std::vector<format::HistoryEntry>;

// The chat a reply goes to, as the history names it.
struct ReplyChat {
  std::string key;  // the contact key, or the display name of a chat without one
  std::string name;
};

// The user's own messages, as the add-on saw them leave.
struct UserActivity {
  std::map<std::string, platform::Date, std::less<>> lastSentInChat;
  std::optional<platform::Date> lastSent;
};

// Decided at receipt: is the message inside the schedule's window?
std::optional<PolicyVerdict> scheduleVerdict(const platform::Dictionary& settings,
                                             const platform::LocalTime& receivedAt);

// When the schedule stops answering, for a reply to a message that arrived
// inside its window and leaves at leaves: the end of that window, followed
// across windows that adjoin it, as "HH:MM" on the day the reply leaves and
// "Weekday HH:MM" on another; "" while the schedule is off (or has no end).
std::string scheduleEndText(const platform::Dictionary& settings,
                            const platform::LocalTime& receivedAt,
                            const platform::LocalTime& leaves);

// Decided when the reply is about to leave, at now.
std::optional<PolicyVerdict> replyOnceVerdict(const platform::Dictionary& settings,
                                              const ReplyHistory& history, const ReplyChat& chat,
                                              platform::Date now);
// receivedAt: when the answered message arrived; none when hold-back was off then.
std::optional<PolicyVerdict> userRepliedVerdict(const platform::Dictionary& settings,
                                                const UserActivity& activity, const ReplyChat& chat,
                                                std::optional<platform::Date> receivedAt);
std::optional<PolicyVerdict> userActiveVerdict(const platform::Dictionary& settings,
                                               const UserActivity& activity, platform::Date now);
std::optional<PolicyVerdict> loopGuardVerdict(const platform::Dictionary& settings,
                                              const ReplyHistory& history, const ReplyChat& chat,
                                              platform::Date now);

// The arrival of a message as the request hands it to the sender: only while
// holding back when the user answers is on.
std::optional<platform::Date> holdBackArrival(const platform::Dictionary& settings,
                                              platform::Date receivedAt);

// The verdicts of the policies decided as the reply leaves, in the order they
// are asked; the first that holds stops the reply.
std::vector<PolicyVerdict> verdictsBeforeSending(
    const platform::Dictionary& settings, const ReplyHistory& history, const UserActivity& activity,
    const ReplyChat& chat, std::optional<platform::Date> receivedAt, platform::Date now);

// The first verdict that holds, if any.
std::optional<PolicyVerdict> firstHold(const std::vector<PolicyVerdict>& verdicts);

// The log line of a reply that a policy held back.
std::string heldBackLine(const PolicyVerdict& verdict);

// "45 s", "12 min", "2 h", "2 h 5 min": a span of time as the whys print it.
std::string spanText(double seconds);

}  // namespace mornaq
