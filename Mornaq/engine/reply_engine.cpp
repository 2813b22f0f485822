#include "Mornaq/engine/reply_engine.h"

#include <fmt/format.h>

#include <memory>
#include <string>

#include "Mornaq/engine/history_file.h"
#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/reply_evaluation.h"
#include "Mornaq/engine/reply_path.h"
#include "Mornaq/engine/reply_policies.h"
#include "Mornaq/engine/reply_request.h"
#include "Mornaq/engine/reply_timeline.h"
#include "Mornaq/engine/reply_why.h"
#include "Mornaq/engine/screening.h"
#include "Mornaq/engine/setting_values.h"
#include "Mornaq/engine/user_activity.h"
#include "common/settings_format.h"
#include "platform/dispatch/guarded.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/log.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/wall_clock.h"
#include "platform/process/process.h"
#include "platform/uikit/uikit.h"

namespace mornaq {

namespace {

using platform::flag;
using platform::NSLog;
using platform::orNull;

// Asked to start, suspended, before every global evaluation.
const std::string kMessagesApp = "com.apple.MobileSMS";

// The engine's state in one process. Everything but the captured centre is
// touched on the main queue only; the remembered matches feed log lines and
// nothing else.
struct EngineState {
  // The capture runs wherever the host creates its centre, so the centre is
  // guarded against the screening that reads it on the main queue.
  platform::Guarded<platform::Id> notificationCenter;
  std::string lastContactMatch;
  std::string lastContactMatchReply;
  std::string lastGlobalMatch;
};

EngineState& engineState() { return platform::Process::current().state<EngineState>(); }

std::shared_ptr<const platform::Dictionary> readRuleFile() {
  return platform::readPlistShared(format::kRuleSettingsPath);
}

// Shared by the steps of one message's timeline and released with its last one.
using Snapshot = std::shared_ptr<const platform::Dictionary>;

// The road of a message ends with its reply request posted: the record
// says whether it will be sent and when.
// The arrival goes with the request only while the user's own reply holds
// replies back: the sender checks it as the reply leaves. The record tells
// what the policies decided as the reply leaves would say of it now.
void postReply(const Reply& reply, const IncomingMessage& incoming,
               const platform::Dictionary& snapshot, ReplyWhy& why) {
  postReplyRequest(reply.text, reply.delay, incoming.chatSession,
                   holdBackArrival(snapshot, incoming.receivedAt));
  noteRequest(
      why, reply, incoming.chatSession,
      platform::NotificationCenter::defaultCenter().observerCount(kReplyRequestNotification) > 0);
  noteSendingPolicies(why, snapshot, readReplyHistory(), userActivity(),
                      replyChat(incoming.chatSession), incoming.receivedAt);
}

void evaluateContactReply(const Snapshot& snapshot, const Decision& decision,
                          const IncomingMessage& incoming, ReplyWhy why) {
  const platform::Dictionary& entry = *decision.entry;
  const Evaluation evaluation =
      evaluateContact(entry, *decision.contactKey, incoming.text, readRuleFile);
  noteEvaluation(why, decision, evaluation);
  auto& state = engineState();
  if (const auto& rule = evaluation.rule) {
    NSLog(fmt::format("[Mornaq] customMatch:-{}, customMatchRe:-{}, customMatchReDelay:-{}",
                      rule->storedMatch.description(), rule->storedReply.description(),
                      rule->storedDelay.description()));
    state.lastContactMatch = rule->customMatch;
    state.lastContactMatchReply = rule->customMatchRe;
  }
  if (const auto reply = evaluation.reply()) postReply(*reply, incoming, *snapshot, why);
  // The summary line belongs to the contact's own reply, which a matched rule
  // replaces.
  if (!evaluation.rule) {
    NSLog(fmt::format(
        "[Mornaq] contactSettings isAutoReplyContact :- {}, lastMessage:-{}, "
        "isContactEnabled:-{}, customReply:-{}, customMatch:-{}, isWordMatch:-{}, "
        "customMatchRe:-{}",
        flag(evaluation.isAutoReply), evaluation.subject,
        flag(switchValue(entry, format::kIsContactEnabled)), evaluation.ownReply.text,
        state.lastContactMatch, flag(evaluation.isWordMatch), state.lastContactMatchReply));
  }
  postReplyWhy(why);
}

void evaluateGlobalReply(const Snapshot& snapshot, const Decision& decision,
                         const IncomingMessage& incoming, ReplyWhy why) {
  const Evaluation evaluation = evaluateGlobal(*snapshot, incoming.text, readRuleFile);
  noteEvaluation(why, decision, evaluation);
  auto& state = engineState();
  NSLog(fmt::format(
      "[Mornaq] [GLOBAL] customReplyGlob:-{}..customMatchGlob:-{}..isGlobAutoEnabled:-{}."
      "isWordMatchGlob:-{}",
      evaluation.ownReply.text, state.lastGlobalMatch, flag(evaluation.isAutoReply),
      flag(evaluation.isWordMatch)));
  const auto reply = evaluation.reply();
  if (const auto& rule = evaluation.rule) {
    NSLog(fmt::format(
        "[Mornaq] customMatchGlob:-{}, customMatchReGlob:-{}, customMatchReGlobDelay:-{}",
        rule->customMatch, rule->customMatchRe, rule->customMatchReDelay.description()));
    state.lastGlobalMatch = rule->customMatch;
  } else if (reply) {
    NSLog("[Mornaq] [GLOBAL] Word didn't Match or isn't enabled will send a reply to phoneNumber");
  }
  if (reply) postReply(*reply, incoming, *snapshot, why);
  postReplyWhy(why);
}

void decideReply(const Snapshot& snapshot, const IncomingMessage& incoming, ReplyWhy why) {
  const Decision decision = decide(incoming, *snapshot);
  noteDecision(why, decision);
  NSLog(fmt::format(
      "Mornaq isGlobalEnabled:-{}, trimmedPhoneNumber :-{} isContactBlackList:-{}, message:-{}, "
      "isContactEnabled:-{}, isGlobAutoEnabled:-{}",
      flag(decision.isGlobalEnabled), orNull(decision.contactKey),
      flag(decision.isContactBlackList), orNull(incoming.text), flag(decision.isContactEnabled),
      flag(decision.isGlobAutoEnabled)));
  auto& queue = platform::MainQueue::main();
  // A contact's decision points into the snapshot, which the evaluation keeps alive.
  const auto evaluateLater = [&](auto evaluate) {
    queue.after(kDecisionToEvaluation,
                [snapshot, decision, incoming, why = std::move(why), evaluate]() mutable {
                  evaluate(snapshot, decision, incoming, std::move(why));
                });
  };
  switch (decision.path) {
    case ReplyPath::Contact:
      evaluateLater(evaluateContactReply);
      return;
    case ReplyPath::Global:
      platform::uikit::launchApplicationWithIdentifier(kMessagesApp, true);
      evaluateLater(evaluateGlobalReply);
      return;
    case ReplyPath::None:
      postReplyWhy(why);
      return;
  }
}

void screenReceivedMessage(const platform::Id& message, ReplyWhy why) {
  // Taken once: a settings change applies from the next message on.
  const Snapshot snapshot = platform::readPlistShared(format::kMainSettingsPath);
  IncomingMessage incoming = readIncomingMessage(message, engineState().notificationCenter.get());
  incoming.receivedAt = platform::dateNow();
  const Screening screening = screen(incoming, *snapshot);
  noteScreening(why, incoming, screening);
  switch (screening) {
    case Screening::Muted:
      NSLog("Mornaq this is a MutedUser chat and reply to MutedUser NOO ignore it..");
      break;
    case Screening::Story:
      NSLog("Mornaq this is a story lets ignore it");
      break;
    case Screening::NoText:
    case Screening::Group:
      NSLog("[Mornaq] [noting to do]");
      break;
    case Screening::Pass:
      if (const auto held = noteSchedule(why, *snapshot, incoming.receivedAt)) {
        NSLog(heldBackLine(*held));
        break;
      }
      platform::MainQueue::main().after(kScreeningToDecision,
                                        [snapshot, incoming, why = std::move(why)]() mutable {
                                          decideReply(snapshot, incoming, std::move(why));
                                        });
      return;
  }
  postReplyWhy(why);
}

}  // namespace

bool getPlistValue() {
  const bool enabled =
      switchValue(*platform::readPlistShared(format::kMainSettingsPath), format::kIsTweakEnabled);
  NSLog(fmt::format("[Mornaq] getPlistValue value:-{}", flag(enabled)));
  return enabled;
}

void didTrackReceivedMessage(const platform::Id& message) {
  ReplyWhy why;
  const bool enabled = getPlistValue();
  noteSwitch(why, enabled, SwitchMoment::AtReceipt);
  if (!enabled) {
    why.message = host::text(message);
    postReplyWhy(why);
    return;
  }
  platform::MainQueue::main().async([message, why = std::move(why)]() mutable {
    screenReceivedMessage(message, std::move(why));
  });
}

void captureNotificationCenter(const platform::Id& center) {
  engineState().notificationCenter.set(center);
}

}  // namespace mornaq
