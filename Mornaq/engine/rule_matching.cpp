#include "Mornaq/engine/rule_matching.h"

#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"
#include "platform/text/text.h"

namespace mornaq {

namespace {

bool wordMatches(std::string_view word, std::string_view subject) {
  using platform::text::containsIgnoringCase;
  // Equality ignoring case is symmetric, so one comparison serves both
  // directions; it only decides where containment cannot (empty texts).
  return containsIgnoringCase(word, subject) || platform::text::equalsIgnoringCase(word, subject) ||
         containsIgnoringCase(subject, word);
}

}  // namespace

std::optional<std::string> findMatchingRule(const platform::Dictionary* ruleSet,
                                            std::string_view subject) {
  if (!ruleSet) return std::nullopt;
  // A rule set is tried in the byte order of its match words, the order in
  // which the dictionary keeps its keys. The rule file fixes no order, so
  // this one is the system's: with several matching words, the first in
  // this order decides the reply.
  for (const auto& [word, rule] : *ruleSet) {
    if (wordMatches(word, subject)) return word;
  }
  return std::nullopt;
}

std::optional<MatchedRule> matchRule(const platform::Dictionary& ruleFile, std::string_view owner,
                                     std::string_view subject) {
  const platform::Dictionary* ruleSet = platform::lookUp(ruleFile, owner).dictionary();
  auto word = findMatchingRule(ruleSet, subject);
  if (!word) return std::nullopt;
  // A rule that is not a dictionary has no values: every fallback applies.
  static const platform::Dictionary kNoValues;
  const platform::Dictionary* found = platform::lookUp(*ruleSet, *word).dictionary();
  const platform::Dictionary& rule = found ? *found : kNoValues;
  auto matchWord = textValue(rule, format::kCustomMatch);
  const platform::Value& delay = platform::lookUp(rule, format::kCustomMatchReDelay);
  return MatchedRule{
      .word = *word,
      .storedMatch = platform::lookUp(rule, format::kCustomMatch),
      .storedReply = platform::lookUp(rule, format::kCustomMatchRe),
      .storedDelay = delay,
      .customMatch = matchWord.empty() ? std::string(format::kNoWordSentinel) : matchWord,
      .customMatchRe = replyOrBusyText(textValue(rule, format::kCustomMatchRe)),
      .customMatchReDelay = textValue(rule, format::kCustomMatchReDelay).empty()
                                ? platform::Value(format::kDefaultDelay)
                                : delay,
  };
}

}  // namespace mornaq
