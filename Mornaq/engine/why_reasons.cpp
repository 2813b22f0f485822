#include "Mornaq/engine/why_reasons.h"

#include <fmt/args.h>
#include <fmt/format.h>

#include <array>

#include "platform/process/process.h"

namespace mornaq {
namespace {

struct ReasonRow {
  WhyReason reason;
  std::string_view name;
  // Templates; {0}, {1} ... are the facts the caller gives.
  std::string_view passes;
  std::string_view stops;
};

// Facts: switch {0} when it was read ("when the message arrived", "when the
// app started"); muted {0} how it passed ("not muted", "muted, but ...");
// blacklist and noPath {0} the sender; noPath {1} whose settings answer;
// noReply {0} what answers, or why no rule did, and {1} the reply that is off.
constexpr std::array kReasons{
    ReasonRow{WhyReason::Switch, "switch", "Mornaq was switched on {0}.",
              "Mornaq was switched off {0}, so no reply is sent."},
    ReasonRow{WhyReason::Muted, "muted", "The chat is {0}.",
              "The chat is muted and replies to muted chats are off."},
    ReasonRow{WhyReason::Story, "story", "It is not a status story.",
              "It is a status story; stories are never answered."},
    ReasonRow{WhyReason::NoText, "noText", "It has a text.",
              "It has no text (a photo, say); only texts are answered."},
    ReasonRow{WhyReason::Group, "group", "It is a one-to-one chat.",
              "It is a group chat; groups are never answered."},
    ReasonRow{WhyReason::Blacklist, "blacklist", "{0} is not on the blacklist.",
              "{0} is on the blacklist."},
    // {0} is a sentence of its own: whom the global reply answers.
    ReasonRow{WhyReason::Audience, "audience", "{0}.", "{0}."},
    ReasonRow{WhyReason::NoPath, "noPath", "{0} is answered by {1}.",
              "{0}'s own reply is not on, and the global reply is off."},
    ReasonRow{WhyReason::NoReply, "noReply", "{0} answers.",
              "{0}, and {1} is switched off, so nothing is sent."},
    ReasonRow{WhyReason::NoChat, "noChat", "It has a chat to send the reply into.",
              "It has no chat to send the reply into."},
    // The policies: {0} is the policy's own sentence, with its numbers.
    ReasonRow{WhyReason::Schedule, "schedule", "{0}.", "{0}."},
    ReasonRow{WhyReason::ReplyOnce, "replyOnce", "{0}.", "{0}."},
    ReasonRow{WhyReason::UserReplied, "userReplied", "{0}.", "{0}."},
    ReasonRow{WhyReason::UserActive, "userActive", "{0}.", "{0}."},
    ReasonRow{WhyReason::LoopGuard, "loopGuard", "{0}.", "{0}."},
};

const ReasonRow& row(WhyReason reason) {
  for (const auto& candidate : kReasons) {
    if (candidate.reason == reason) return candidate;
  }
  platform::fatal("a reason without a row in the table of reasons");
}

}  // namespace

std::string_view whyReasonName(WhyReason reason) { return row(reason).name; }

std::string whySentence(WhyReason reason, bool stopped,
                        std::initializer_list<std::string_view> facts) {
  fmt::dynamic_format_arg_store<fmt::format_context> arguments;
  for (const auto fact : facts) arguments.push_back(fact);
  const ReasonRow& found = row(reason);
  return fmt::vformat(stopped ? found.stops : found.passes, arguments);
}

}  // namespace mornaq
