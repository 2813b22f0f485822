#pragma once
// Why a message got the reply it got, or none: the record of its road
// through the engine (reply_road.h). Each step notes its own result in it,
// so a trace of the real run and a dry run of a message tell what the engine
// really does.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/reply_evaluation.h"
#include "Mornaq/engine/reply_path.h"
#include "Mornaq/engine/reply_policies.h"
#include "Mornaq/engine/reply_template.h"
#include "Mornaq/engine/screening.h"
#include "Mornaq/engine/why_reasons.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/value.h"
#include "platform/runtime/object.h"

namespace mornaq {

// Posted on the default notification centre when a message's road ends
// (dropped, nothing decided, or its reply request posted), with the record
// as user info (replyWhyDictionary) plus "message": the received text.
inline constexpr std::string_view kReplyWhyNotification = "MornaqReplyWhy";
// Posted when a reply has left, or a policy held it back as it was about to:
// {"receivedMessage": the message answered, "sent": B, "text": S as sent or
// nil, "stoppedBy": the policy's name or nil, "why": its sentence or nil}.
inline constexpr std::string_view kReplyOutcomeNotification = "MornaqReplyOutcome";

struct WhyStep {
  WhyReason reason;
  std::string why;
};

struct ReplyWhy {
  host::Text message;   // the received text
  host::Text chatName;  // the chat's display name, for ":name:" and the sentences
  std::string sender;   // how the sentences name the sender

  bool reply = false;  // a reply will be sent into the chat
  std::optional<WhyReason> stoppedBy;
  ReplyPath path = ReplyPath::None;
  std::optional<std::string> ruleOwner;  // the owner and word of the rule that chose the reply
  std::optional<std::string> ruleWord;
  std::optional<Reply> request;  // the reply request as posted
  host::Text text;               // as it will be sent, its template expanded
  // A template with alternatives (":or:") sends one of these, chosen as it
  // leaves; text is then none.
  std::vector<std::string> alternatives;
  std::optional<std::int64_t> delay;
  std::optional<platform::Duration> sendsAt;  // after receipt, on the queue's clock
  std::vector<WhyStep> steps;                 // every test, in order
};

// When the master switch was read: at receipt, or (for the sender's
// observers) when the app started.
enum class SwitchMoment { AtReceipt, AtStart };

// Each note adds the tests of one step, from that step's own result, and
// records the first that stopped the message.
void noteSwitch(ReplyWhy& why, bool on, SwitchMoment moment);
void noteScreening(ReplyWhy& why, const IncomingMessage& incoming, Screening screening);
void noteDecision(ReplyWhy& why, const Decision& decision);
void noteEvaluation(ReplyWhy& why, const Decision& decision, const Evaluation& evaluation);
// The request reached the sender, sendsAt after receipt: whether it has a chat
// to send into, and whether any observer is there to send it.
void noteRequest(ReplyWhy& why, const Reply& request, const platform::Id& chatSession,
                 bool observersExist, platform::Duration sendsAt,
                 const ReplyPlaceholders& placeholders);

// The schedule, decided at receipt: notes its verdict, and gives it when it
// holds the message back.
std::optional<PolicyVerdict> noteSchedule(ReplyWhy& why, const platform::Dictionary& snapshot,
                                          platform::Date receivedAt);
// The policies decided as the reply leaves: a policy that holds takes the
// reply back. A loop guard that lets the reply pass, as it almost always
// does, adds no step.
void noteLeavingChecks(ReplyWhy& why, const std::vector<PolicyVerdict>& verdicts);

// The first line a user reads: "Replies after 5 s with: ..." or
// "No reply: Bob is on the blacklist."
std::string whyVerdict(const ReplyWhy& why);

// The record as plain values, under the names the trace uses: "reply",
// "stoppedBy", "path", "rule" ({"owner","word"}), "text", "delay",
// "sendsAt" (seconds, a real), "steps" ([{"step","why"}]) and "verdict";
// nil where a fact does not apply. "alternatives" only for a reply that has
// them.
platform::Dictionary replyWhyDictionary(const ReplyWhy& why);

// Posts kReplyWhyNotification for the record of the received message on the
// current process's default notification centre; "receivedMessage" holds the
// message, so the app can tell which of its messages the record is about.
void postReplyWhy(const ReplyWhy& why, const platform::Id& receivedMessage);

// Posts kReplyOutcomeNotification for the record as the reply's sending step
// left it.
void postReplyOutcome(const ReplyWhy& why, const platform::Id& receivedMessage);

}  // namespace mornaq
