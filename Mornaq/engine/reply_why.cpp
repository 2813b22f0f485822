#include "Mornaq/engine/reply_why.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "Mornaq/engine/reply_request.h"
#include "Mornaq/engine/reply_road.h"
#include "common/settings_format.h"
#include "platform/foundation/notification_center.h"

namespace mornaq {
namespace {

using platform::Dictionary;
using platform::Value;

void pass(ReplyWhy& why, WhyReason reason, std::initializer_list<std::string_view> facts = {}) {
  why.steps.push_back({reason, whySentence(reason, false, facts)});
}

void stop(ReplyWhy& why, WhyReason reason, std::initializer_list<std::string_view> facts = {}) {
  why.steps.push_back({reason, whySentence(reason, true, facts)});
  why.stoppedBy = reason;
}

// The reply the path itself holds, and its word-match rules.
std::string pathReply(const ReplyWhy& why) {
  return why.path == ReplyPath::Contact ? why.sender + "'s own reply" : "the global reply";
}

std::string pathRules(const ReplyWhy& why) {
  return why.path == ReplyPath::Contact ? why.sender + "'s word-match rules"
                                        : "the global word-match rules";
}

std::string capitalised(std::string text) {
  if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') text.front() -= 'a' - 'A';
  return text;
}

double seconds(platform::Duration duration) { return static_cast<double>(duration.count()) / 1e9; }

Value textOrNil(const std::optional<std::string>& text) { return text ? Value(*text) : Value(); }

// Whom the global reply answers, and whether the sender is one of them.
std::string audienceSentence(const Decision& decision, const std::string& sender) {
  const std::string_view audience = *decision.audience;
  const bool inBook = decision.contactKey.has_value();
  const std::string standing =
      fmt::format("{} is {}in your address book", sender, inBook ? "" : "not ");
  if (audience == format::kAudienceEveryone) return "The global reply answers everyone";
  if (audience == format::kAudienceContacts) {
    return fmt::format("The global reply answers only your contacts, and {}", standing);
  }
  if (audience == format::kAudienceNonContacts) {
    return fmt::format("The global reply answers only people not in your address book, and {}",
                       standing);
  }
  return fmt::format("The global reply answers nobody: its audience \"{}\" is not one Mornaq knows",
                     audience);
}

}  // namespace

void noteSwitch(ReplyWhy& why, bool on, SwitchMoment moment) {
  const std::string_view when =
      moment == SwitchMoment::AtReceipt ? "when the message arrived" : "when the app started";
  if (on) {
    pass(why, WhyReason::Switch, {when});
  } else {
    stop(why, WhyReason::Switch, {when});
  }
}

void noteScreening(ReplyWhy& why, const IncomingMessage& incoming, Screening screening) {
  why.message = incoming.text;
  why.chatName = incoming.displayName;
  if (screening == Screening::Muted) return stop(why, WhyReason::Muted);
  pass(why, WhyReason::Muted,
       {incoming.isMuted ? "muted, but replies to muted chats are on" : "not muted"});
  if (screening == Screening::Story) return stop(why, WhyReason::Story);
  pass(why, WhyReason::Story);
  if (screening == Screening::NoText) return stop(why, WhyReason::NoText);
  pass(why, WhyReason::NoText);
  if (screening == Screening::Group) return stop(why, WhyReason::Group);
  pass(why, WhyReason::Group);
}

void noteDecision(ReplyWhy& why, const Decision& decision) {
  why.sender = why.chatName && !why.chatName->empty() ? *why.chatName
               : decision.contactKey                  ? *decision.contactKey
                                                      : "The sender";
  if (decision.isContactBlackList) return stop(why, WhyReason::Blacklist, {why.sender});
  pass(why, WhyReason::Blacklist, {why.sender});
  // The audience is asked only of a sender the global settings would answer.
  if (decision.audience && decision.isGlobalEnabled && !decision.isContactEnabled) {
    const std::string sentence = audienceSentence(decision, why.sender);
    if (!decision.inAudience) return stop(why, WhyReason::Audience, {sentence});
    pass(why, WhyReason::Audience, {sentence});
  }
  why.path = decision.path;
  if (decision.path == ReplyPath::None) return stop(why, WhyReason::NoPath, {why.sender});
  pass(why, WhyReason::NoPath,
       {why.sender, decision.path == ReplyPath::Contact ? "the contact's own settings"
                                                        : "the global settings"});
}

void noteEvaluation(ReplyWhy& why, const Decision& decision, const Evaluation& evaluation) {
  const auto noteRules = [&] {
    if (const auto& rule = evaluation.rule) {
      why.ruleOwner = decision.path == ReplyPath::Contact ? *decision.contactKey
                                                          : std::string(format::kGlobalOwner);
      why.ruleWord = rule->word;
      return pass(why, WhyReason::NoReply,
                  {fmt::format("The rule \"{}\" of {}", *why.ruleWord, pathRules(why))});
    }
    const std::string noRule = evaluation.isWordMatch
                                   ? fmt::format("No rule of {} matches", pathRules(why))
                                   : "Word matching is off";
    if (!evaluation.isAutoReply) return stop(why, WhyReason::NoReply, {noRule, pathReply(why)});
    pass(why, WhyReason::NoReply, {capitalised(pathReply(why))});
  };
  noteRules();
  // The rules that could not be tried come first: they are why a rule the
  // user meant did not answer.
  std::string problems;
  for (const auto& problem : evaluation.ruleProblems) problems += capitalised(problem.why) + ". ";
  why.steps.back().why.insert(0, problems);
}

void noteRequest(ReplyWhy& why, const Reply& request, const platform::Id& chatSession,
                 bool observersExist, platform::Duration sendsAt,
                 const ReplyPlaceholders& placeholders) {
  why.request = request;
  if (!chatSession) return stop(why, WhyReason::NoChat);
  pass(why, WhyReason::NoChat);
  if (!observersExist) return noteSwitch(why, false, SwitchMoment::AtStart);
  why.reply = true;
  for (const auto& alternative : replyAlternatives(request.text)) {
    why.alternatives.push_back(expandReplyTemplate(alternative, placeholders));
  }
  if (why.alternatives.size() == 1) {
    why.text = std::move(why.alternatives.front());
    why.alternatives.clear();
  }
  why.delay = requestDelaySeconds(request.delay);
  why.sendsAt = sendsAt;
}

void notePolicy(ReplyWhy& why, const PolicyVerdict& verdict) {
  if (!verdict.holds) return pass(why, verdict.policy, {verdict.why});
  stop(why, verdict.policy, {verdict.why});
  why.reply = false;
  why.text.reset();
  why.alternatives.clear();
  why.delay.reset();
  why.sendsAt.reset();
}

std::optional<PolicyVerdict> noteSchedule(ReplyWhy& why, const platform::Dictionary& snapshot,
                                          platform::Date receivedAt) {
  auto verdict = scheduleVerdict(snapshot, platform::localTime(receivedAt));
  if (!verdict) return std::nullopt;
  notePolicy(why, *verdict);
  return verdict->holds ? verdict : std::nullopt;
}

void noteLeavingChecks(ReplyWhy& why, const std::vector<PolicyVerdict>& verdicts) {
  for (const auto& verdict : verdicts) {
    if (verdict.policy == WhyReason::LoopGuard && !verdict.holds) continue;
    notePolicy(why, verdict);
  }
}

std::string whyVerdict(const ReplyWhy& why) {
  if (why.reply) {
    const std::string with =
        why.text ? fmt::format("with: {}", *why.text)
                 : fmt::format("with one of: \"{}\"", fmt::join(why.alternatives, "\", \""));
    return fmt::format("Replies after {} s ({} s of screening, then a delay of {} s) {}",
                       seconds(*why.sendsAt), seconds(kScreeningToDecision + kDecisionToEvaluation),
                       *why.delay, with);
  }
  if (why.steps.empty()) return "No reply.";
  return "No reply: " + why.steps.back().why;
}

Dictionary replyWhyDictionary(const ReplyWhy& why) {
  platform::Array steps;
  for (const auto& step : why.steps) {
    steps.push_back(Dictionary{{"step", whyReasonName(step.reason)}, {"why", step.why}});
  }
  const auto pathName = [&]() -> Value {
    switch (why.path) {
      case ReplyPath::Contact:
        return "contact";
      case ReplyPath::Global:
        return "global";
      case ReplyPath::None:
        break;
    }
    return {};
  };
  Dictionary record{
      {"reply", why.reply},
      {"stoppedBy", why.stoppedBy ? Value(whyReasonName(*why.stoppedBy)) : Value()},
      {"path", pathName()},
      {"rule", why.ruleOwner ? Value(Dictionary{{"owner", *why.ruleOwner}, {"word", *why.ruleWord}})
                             : Value()},
      {"text", textOrNil(why.text)},
      {"delay", why.delay ? Value(*why.delay) : Value()},
      {"sendsAt", why.sendsAt ? Value(seconds(*why.sendsAt)) : Value()},
      {"steps", std::move(steps)},
      {"verdict", whyVerdict(why)},
  };
  if (!why.alternatives.empty()) {
    record.emplace("alternatives",
                   platform::Array(why.alternatives.begin(), why.alternatives.end()));
  }
  return record;
}

void postReplyWhy(const ReplyWhy& why, const platform::Id& receivedMessage) {
  Dictionary userInfo = replyWhyDictionary(why);
  userInfo.emplace("message", textOrNil(why.message));
  if (receivedMessage) userInfo.emplace("receivedMessage", receivedMessage);
  platform::NotificationCenter::defaultCenter().postNotificationName(kReplyWhyNotification, nullptr,
                                                                     std::move(userInfo));
}

void postReplyOutcome(const ReplyWhy& why, const platform::Id& receivedMessage) {
  const bool held = !why.reply && why.stoppedBy;
  Dictionary userInfo{
      {"sent", why.reply},
      {"text", textOrNil(why.text)},
      {"stoppedBy", held ? Value(whyReasonName(*why.stoppedBy)) : Value()},
      {"why", held ? Value(why.steps.back().why) : Value()},
  };
  if (receivedMessage) userInfo.emplace("receivedMessage", receivedMessage);
  platform::NotificationCenter::defaultCenter().postNotificationName(kReplyOutcomeNotification,
                                                                     nullptr, std::move(userInfo));
}

}  // namespace mornaq
