#include "Mornaq/engine/reply_road.h"

#include <array>
#include <string>

#include <fmt/format.h>

#include "Mornaq/engine/history_file.h"
#include "Mornaq/engine/reply_request.h"
#include "Mornaq/engine/setting_values.h"
#include "Mornaq/engine/user_activity.h"
#include "common/settings_format.h"
#include "platform/foundation/log.h"
#include "platform/foundation/random.h"
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

// The last rules that matched in this process, for the log lines that show them.
struct RememberedMatches {
  std::string contactMatch;
  std::string contactMatchReply;
  std::string globalMatch;
};

RememberedMatches& remembered() { return platform::Process::current().state<RememberedMatches>(); }

Next stopsIf(const ReplyWhy& why) { return why.stoppedBy ? Next::Stop : Next::Go; }

// Receipt: the master switch, read as the message arrives.
Next checkSwitch(Road& road, const RoadWorld& world) {
  road.incoming.receivedAt = world.now(road);
  noteSwitch(road.why, world.switchOn(), SwitchMoment::AtReceipt);
  if (road.why.stoppedBy) road.why.message = road.incoming.text;
  return stopsIf(road.why);
}

// Screening: the messages that are never answered, and the schedule. The
// settings are taken here once for the rest of the road.
Next screenMessage(Road& road, const RoadWorld& world) {
  road.settings = world.mainSettings();
  road.screening = screen(road.incoming, *road.settings);
  noteScreening(road.why, road.incoming, road.screening);
  if (road.why.stoppedBy) return Next::Stop;
  road.heldBy = noteSchedule(road.why, *road.settings, road.incoming.receivedAt);
  return road.heldBy ? Next::Stop : Next::Go;
}

void logScreening(Road& road) {
  switch (road.screening) {
    case Screening::Muted:
      NSLog("Mornaq this is a MutedUser chat and reply to MutedUser NOO ignore it..");
      return;
    case Screening::Story:
      NSLog("Mornaq this is a story lets ignore it");
      return;
    case Screening::NoText:
    case Screening::Group:
      NSLog("[Mornaq] [noting to do]");
      return;
    case Screening::Pass:
      if (road.heldBy) NSLog(heldBackLine(*road.heldBy));
      return;
  }
}

// Decision: whose settings govern the sender.
Next decidePath(Road& road, const RoadWorld&) {
  road.decision = decide(road.incoming, *road.settings);
  noteDecision(road.why, road.decision);
  return stopsIf(road.why);
}

void logDecision(Road& road) {
  const Decision& decision = road.decision;
  NSLog(fmt::format(
      "Mornaq isGlobalEnabled:-{}, trimmedPhoneNumber :-{} isContactBlackList:-{}, message:-{}, "
      "isContactEnabled:-{}, isGlobAutoEnabled:-{}",
      flag(decision.isGlobalEnabled), orNull(decision.contactKey),
      flag(decision.isContactBlackList), orNull(road.incoming.text),
      flag(decision.isContactEnabled), flag(decision.isGlobAutoEnabled)));
  if (decision.path == ReplyPath::Global) {
    platform::uikit::launchApplicationWithIdentifier(kMessagesApp, true);
  }
}

// Evaluation: the owner's word-match rules first, else the path's own reply.
Next evaluatePath(Road& road, const RoadWorld& world) {
  const RuleFileReader readRules = [&world] { return world.ruleFile(); };
  const Decision& decision = road.decision;
  road.evaluation =
      decision.path == ReplyPath::Contact
          ? evaluateContact(*decision.entry, *decision.contactKey, road.incoming.text, readRules)
          : evaluateGlobal(*road.settings, road.incoming.text, readRules);
  noteEvaluation(road.why, decision, *road.evaluation);
  road.reply = road.evaluation->reply();
  return road.reply ? Next::Go : Next::Stop;
}

// The lines of each path, around the reply request it posts.
void logContactEvaluation(const Road& road) {
  const Evaluation& evaluation = *road.evaluation;
  auto& matches = remembered();
  if (const auto& rule = evaluation.rule) {
    NSLog(fmt::format("[Mornaq] customMatch:-{}, customMatchRe:-{}, customMatchReDelay:-{}",
                      rule->storedMatch.description(), rule->storedReply.description(),
                      rule->storedDelay.description()));
    matches.contactMatch = rule->customMatch;
    matches.contactMatchReply = rule->customMatchRe;
  }
  if (road.reply) postReplyRequest(road);
  // The summary line belongs to the contact's own reply, which a matched rule
  // replaces.
  if (evaluation.rule) return;
  NSLog(
      fmt::format("[Mornaq] contactSettings isAutoReplyContact :- {}, lastMessage:-{}, "
                  "isContactEnabled:-{}, customReply:-{}, customMatch:-{}, isWordMatch:-{}, "
                  "customMatchRe:-{}",
                  flag(evaluation.isAutoReply), evaluation.subject,
                  flag(road.decision.isContactEnabled), evaluation.ownReply.text,
                  matches.contactMatch, flag(evaluation.isWordMatch), matches.contactMatchReply));
}

void logGlobalEvaluation(const Road& road) {
  const Evaluation& evaluation = *road.evaluation;
  auto& matches = remembered();
  NSLog(fmt::format(
      "[Mornaq] [GLOBAL] customReplyGlob:-{}..customMatchGlob:-{}..isGlobAutoEnabled:-{}."
      "isWordMatchGlob:-{}",
      evaluation.ownReply.text, matches.globalMatch, flag(evaluation.isAutoReply),
      flag(evaluation.isWordMatch)));
  if (const auto& rule = evaluation.rule) {
    NSLog(fmt::format(
        "[Mornaq] customMatchGlob:-{}, customMatchReGlob:-{}, customMatchReGlobDelay:-{}",
        rule->customMatch, rule->customMatchRe, rule->customMatchReDelay.description()));
    matches.globalMatch = rule->customMatch;
  } else if (road.reply) {
    NSLog("[Mornaq] [GLOBAL] Word didn't Match or isn't enabled will send a reply to phoneNumber");
  }
  if (road.reply) postReplyRequest(road);
}

void logEvaluation(Road& road) {
  if (road.decision.path == ReplyPath::Contact) return logContactEvaluation(road);
  logGlobalEvaluation(road);
}

// Sending: the request reached a sender, the reply's own delay has passed,
// and the checks made as the reply leaves decide whether it goes.
Next checkAsItLeaves(Road& road, const RoadWorld& world) {
  const ReplyPlaceholders placeholders{
      .name = road.incoming.displayName,
      .until = scheduleEndText(*road.settings, platform::localTime(road.incoming.receivedAt),
                               platform::localTime(world.now(road)))};
  noteRequest(road.why, *road.reply, road.incoming.chatSession, world.observersExist(),
              road.elapsed, placeholders);
  if (!road.why.reply) return Next::Stop;
  const auto verdicts = verdictsBeforeSending(
      *world.mainSettings(), world.history(), world.activity(), replyChat(road.incoming),
      holdBackArrival(*road.settings, road.incoming.receivedAt), world.now(road));
  noteLeavingChecks(road.why, verdicts);
  road.heldBy = firstHold(verdicts);
  return road.heldBy ? Next::Stop : Next::Go;
}

// Every reply that leaves is recorded; the app learns how the road ended. A
// reply with alternatives sends one, chosen now.
void sendReply(Road& road) {
  ReplyWhy& why = road.why;
  if (road.heldBy) {
    NSLog(heldBackLine(*road.heldBy));
  } else if (why.reply) {
    NSLog(fmt::format("Mornaq sendMessage:-{}", orNull(road.incoming.contactIdentifier)));
    if (!why.text) {
      why.text = why.alternatives[platform::arc4random_uniform(
          static_cast<std::uint32_t>(why.alternatives.size()))];
    }
    const std::string& text = *why.text;
    {
      const OwnSend own;
      host::sendMessageWithText(host::chatStorage(road.chatManager), text, false, nullptr, 1,
                                road.incoming.chatSession, false, false, false);
    }
    const ReplyChat chat = replyChat(road.incoming);
    recordReply({platform::dateNow(), chat.key, chat.name, text});
  }
  postReplyOutcome(road.why, road.incoming.message);
}

constexpr std::array kRoad{
    RoadStep{.before = {}, .decide = checkSwitch, .act = nullptr},
    RoadStep{.before = {}, .decide = screenMessage, .act = logScreening},
    RoadStep{.before = {.fixed = kScreeningToDecision}, .decide = decidePath, .act = logDecision},
    RoadStep{
        .before = {.fixed = kDecisionToEvaluation}, .decide = evaluatePath, .act = logEvaluation},
    RoadStep{.before = {.replysOwn = true}, .decide = checkAsItLeaves, .act = sendReply},
};

}  // namespace

std::span<const RoadStep> roadSteps() { return kRoad; }

platform::Duration delayBefore(const RoadStep& step, const Road& road) {
  if (!step.before.replysOwn) return step.before.fixed;
  return platform::secondsSaturating(requestDelaySeconds(road.reply->delay));
}

}  // namespace mornaq
