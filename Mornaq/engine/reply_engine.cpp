#include "Mornaq/engine/reply_engine.h"

#include <fmt/format.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/reply_evaluation.h"
#include "Mornaq/engine/reply_path.h"
#include "Mornaq/engine/reply_policies.h"
#include "Mornaq/engine/reply_request.h"
#include "Mornaq/engine/screening.h"
#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/wall_clock.h"
#include "platform/process/process.h"
#include "platform/uikit/uikit.h"

namespace mornaq {

namespace {

using platform::flag;
using platform::NSLog;
using platform::orNull;

constexpr platform::Duration kScreeningToDecision = std::chrono::seconds(1);
constexpr platform::Duration kDecisionToEvaluation = std::chrono::seconds(2);
// Asked to start, suspended, before every global evaluation.
const std::string kMessagesApp = "com.apple.MobileSMS";

// The engine's state in one process. Everything but the captured centre is
// touched on the main queue only; the remembered matches feed log lines and
// nothing else.
struct EngineState {
  // The capture runs wherever the host creates its centre, so the centre is
  // guarded against the screening that reads it on the main queue.
  std::mutex centerMutex;
  platform::Id notificationCenter;
  std::string lastContactMatch;
  std::string lastContactMatchReply;
  std::string lastGlobalMatch;
};

EngineState& engineState() { return platform::Process::current().state<EngineState>(); }

platform::Id capturedNotificationCenter() {
  auto& state = engineState();
  std::lock_guard lock(state.centerMutex);
  return state.notificationCenter;
}

platform::Dictionary readRuleFile() { return platform::readPlist(format::kRuleSettingsPath); }

// Shared by the steps of one message's timeline and released with its last one.
using Snapshot = std::shared_ptr<const platform::Dictionary>;

// The arrival goes with the request only while the user's own reply holds
// replies back: the sender checks it as the reply leaves.
void postReply(const Reply& reply, const IncomingMessage& incoming,
               const platform::Dictionary& snapshot) {
  postReplyRequest(reply.text, reply.delay, incoming.chatSession,
                   switchValue(snapshot, format::kIsCancelOnUserReply)
                       ? std::optional(incoming.receivedAt)
                       : std::nullopt);
}

void evaluateContactReply(const platform::Dictionary& snapshot, const platform::Dictionary& entry,
                          const std::string& contactKey, const IncomingMessage& incoming) {
  const Evaluation evaluation = evaluateContact(entry, contactKey, incoming.text, readRuleFile);
  auto& state = engineState();
  if (const auto& rule = evaluation.rule) {
    NSLog(fmt::format("[Mornaq] customMatch:-{}, customMatchRe:-{}, customMatchReDelay:-{}",
                      rule->storedMatch.description(), rule->storedReply.description(),
                      rule->storedDelay.description()));
    state.lastContactMatch = rule->customMatch;
    state.lastContactMatchReply = rule->customMatchRe;
  }
  if (const auto reply = evaluation.reply()) postReply(*reply, incoming, snapshot);
  // The summary line belongs to the contact's own reply, which a matched rule
  // replaces.
  if (evaluation.rule) return;
  NSLog(fmt::format(
      "[Mornaq] contactSettings isAutoReplyContact :- {}, lastMessage:-{}, isContactEnabled:-{}, "
      "customReply:-{}, customMatch:-{}, isWordMatch:-{}, customMatchRe:-{}",
      flag(evaluation.isAutoReply), evaluation.subject,
      flag(switchValue(entry, format::kIsContactEnabled)), evaluation.ownReply.text,
      state.lastContactMatch, flag(evaluation.isWordMatch), state.lastContactMatchReply));
}

void evaluateGlobalReply(const platform::Dictionary& snapshot, const IncomingMessage& incoming) {
  const Evaluation evaluation = evaluateGlobal(snapshot, incoming.text, readRuleFile);
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
        rule->customMatch, rule->customMatchRe, rule->customMatchReDelay));
    state.lastGlobalMatch = rule->customMatch;
  } else if (reply) {
    NSLog("[Mornaq] [GLOBAL] Word didn't Match or isn't enabled will send a reply to phoneNumber");
  }
  if (reply) postReply(*reply, incoming, snapshot);
}

void decideReply(const Snapshot& snapshot, const IncomingMessage& incoming) {
  const Decision decision = decide(incoming, *snapshot);
  NSLog(fmt::format(
      "Mornaq isGlobalEnabled:-{}, trimmedPhoneNumber :-{} isContactBlackList:-{}, message:-{}, "
      "isContactEnabled:-{}, isGlobAutoEnabled:-{}",
      flag(decision.isGlobalEnabled), orNull(decision.contactKey),
      flag(decision.isContactBlackList), orNull(incoming.text), flag(decision.isContactEnabled),
      flag(decision.isGlobAutoEnabled)));
  auto& queue = platform::MainQueue::main();
  switch (decision.path) {
    case ReplyPath::Contact:
      queue.after(kDecisionToEvaluation,
                  [snapshot, entry = *decision.entry, contactKey = *decision.contactKey, incoming] {
                    evaluateContactReply(*snapshot, entry, contactKey, incoming);
                  });
      break;
    case ReplyPath::Global:
      platform::uikit::launchApplicationWithIdentifier(kMessagesApp, true);
      queue.after(kDecisionToEvaluation,
                  [snapshot, incoming] { evaluateGlobalReply(*snapshot, incoming); });
      break;
    case ReplyPath::None:
      break;
  }
}

void screenReceivedMessage(const platform::Id& message) {
  // Taken once: a settings change applies from the next message on.
  const Snapshot snapshot =
      std::make_shared<const platform::Dictionary>(platform::readPlist(format::kMainSettingsPath));
  IncomingMessage incoming = readIncomingMessage(message, capturedNotificationCenter());
  incoming.receivedAt = platform::dateNow();
  switch (screen(incoming, *snapshot)) {
    case Screening::Muted:
      NSLog("Mornaq this is a MutedUser chat and reply to MutedUser NOO ignore it..");
      return;
    case Screening::Story:
      NSLog("Mornaq this is a story lets ignore it");
      return;
    case Screening::NothingToDo:
      NSLog("[Mornaq] [noting to do]");
      return;
    case Screening::Pass:
      if (const auto verdict = scheduleVerdict(*snapshot, platform::localTime(incoming.receivedAt));
          verdict && verdict->holds) {
        NSLog(heldBackLine(*verdict));
        return;
      }
      platform::MainQueue::main().after(kScreeningToDecision,
                                        [snapshot, incoming] { decideReply(snapshot, incoming); });
      return;
  }
}

}  // namespace

bool getPlistValue() {
  const bool enabled =
      switchValue(platform::readPlist(format::kMainSettingsPath), format::kIsTweakEnabled);
  NSLog(fmt::format("[Mornaq] getPlistValue value:-{}", flag(enabled)));
  return enabled;
}

void didTrackReceivedMessage(const platform::Id& message) {
  if (!getPlistValue()) return;
  platform::MainQueue::main().async([message] { screenReceivedMessage(message); });
}

void captureNotificationCenter(const platform::Id& center) {
  auto& state = engineState();
  std::lock_guard lock(state.centerMutex);
  state.notificationCenter = center;
}

}  // namespace mornaq
