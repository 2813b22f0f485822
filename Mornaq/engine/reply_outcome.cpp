#include "Mornaq/engine/reply_outcome.h"

#include "Mornaq/engine/reply_path.h"
#include "Mornaq/engine/screening.h"
#include "Mornaq/engine/user_activity.h"

namespace mornaq {

namespace {

Evaluation evaluatePath(const Decision& decision, const IncomingMessage& incoming,
                        const platform::Dictionary& snapshot,
                        const platform::Dictionary& ruleFile) {
  // Shares the caller's rule file without owning it: it outlives this call.
  const RuleFileReader readRuleFile = [&ruleFile] {
    return std::shared_ptr<const platform::Dictionary>(std::shared_ptr<void>(), &ruleFile);
  };
  if (decision.path == ReplyPath::Contact) {
    return evaluateContact(*decision.entry, *decision.contactKey, incoming.text, readRuleFile);
  }
  return evaluateGlobal(snapshot, incoming.text, readRuleFile);
}

}  // namespace

ReplyWhy replyRoad(const IncomingMessage& incoming, const platform::Dictionary& snapshot,
                   const platform::Dictionary& ruleFile, bool switchAtReceipt, bool switchAtStart,
                   const ReplyHistory& history, const UserActivity& activity) {
  ReplyWhy why;
  noteSwitch(why, switchAtReceipt, SwitchMoment::AtReceipt);
  if (why.stoppedBy) {
    why.message = incoming.text;
    return why;
  }
  noteScreening(why, incoming, screen(incoming, snapshot));
  if (why.stoppedBy) return why;
  noteSchedule(why, snapshot, incoming.receivedAt);
  if (why.stoppedBy) return why;
  const Decision decision = decide(incoming, snapshot);
  noteDecision(why, decision);
  if (why.stoppedBy) return why;
  const Evaluation evaluation = evaluatePath(decision, incoming, snapshot, ruleFile);
  noteEvaluation(why, decision, evaluation);
  if (const auto reply = evaluation.reply()) {
    noteRequest(why, *reply, incoming.chatSession, switchAtStart);
    noteSendingPolicies(why, snapshot, history, activity, replyChat(incoming.chatSession),
                        incoming.receivedAt);
  }
  return why;
}

std::optional<Reply> replyOutcome(const IncomingMessage& incoming,
                                  const platform::Dictionary& snapshot,
                                  const platform::Dictionary& ruleFile) {
  return replyRoad(incoming, snapshot, ruleFile, true, true).request;
}

}  // namespace mornaq
