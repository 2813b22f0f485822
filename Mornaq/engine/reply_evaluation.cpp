#include "Mornaq/engine/reply_evaluation.h"

#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"

namespace mornaq {

namespace {

// Where a path keeps its settings.
struct PathKeys {
  std::string_view isWordMatch;
  std::string_view isAutoReply;
  std::string_view reply;
  std::string_view delay;
};

constexpr PathKeys kContactKeys{format::kIsWordMatch, format::kIsAutoReplyContact,
                                format::kCustomReply, format::kCustomReplyDelay};
constexpr PathKeys kGlobalKeys{format::kIsWordMatchGlob, format::kIsGlobAutoEnabled,
                               format::kCustomReplyGlob, format::kCustomReplyGlobDelay};

Evaluation evaluate(const platform::Dictionary& settings, const PathKeys& keys,
                    std::string_view owner, std::string subject,
                    const RuleFileReader& readRuleFile) {
  Evaluation evaluation{
      .isWordMatch = switchValue(settings, keys.isWordMatch),
      .isAutoReply = switchValue(settings, keys.isAutoReply),
      .subject = std::move(subject),
      .ownReply = {.text = replyOrBusyText(textValue(settings, keys.reply)),
                   .delay = delayOrDefault(textValue(settings, keys.delay))},
  };
  if (evaluation.isWordMatch) {
    auto match = matchRules(*readRuleFile(), owner, evaluation.subject);
    evaluation.rule = std::move(match.rule);
    evaluation.ruleProblems = std::move(match.problems);
  }
  return evaluation;
}

}  // namespace

std::optional<Reply> Evaluation::reply() const {
  if (rule) return Reply{.text = rule->customMatchRe, .delay = rule->customMatchReDelay};
  if (isAutoReply) return ownReply;
  return std::nullopt;
}

Evaluation evaluateContact(const platform::Dictionary& entry, std::string_view contactKey,
                           const host::Text& text, const RuleFileReader& readRuleFile) {
  std::string subject = text.value_or("");
  if (subject.empty()) subject = format::kNoTextSentinel;
  return evaluate(entry, kContactKeys, contactKey, std::move(subject), readRuleFile);
}

Evaluation evaluateGlobal(const platform::Dictionary& snapshot, const host::Text& text,
                          const RuleFileReader& readRuleFile) {
  return evaluate(snapshot, kGlobalKeys, format::kGlobalOwner, text.value_or(""), readRuleFile);
}

}  // namespace mornaq
