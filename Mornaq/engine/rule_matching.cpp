#include "Mornaq/engine/rule_matching.h"

#include <vector>

#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"
#include "platform/text/text.h"

namespace mornaq {

std::optional<std::string> findMatchingRule(const platform::Dictionary* ruleSet,
                                            std::string_view subject) {
  if (!ruleSet) return std::nullopt;
  // A rule set is tried in the byte order of its match words, the order in
  // which the dictionary keeps its keys. The rule file fixes no order, so
  // this one is the system's: with several matching words, the first in
  // this order decides the reply.
  // The subject and every word are folded once, and all words are looked for
  // in the subject in one pass: a long message costs once, not once per rule.
  using platform::text::FoldedText;
  const FoldedText folded(subject);
  std::vector<const std::string*> names;
  std::vector<FoldedText> words;
  names.reserve(ruleSet->size());
  words.reserve(ruleSet->size());
  for (const auto& entry : *ruleSet) {
    names.push_back(&entry.first);
    words.emplace_back(entry.first);
  }
  const std::vector<bool> inSubject = platform::text::containedIn(folded, words);
  for (std::size_t i = 0; i < words.size(); ++i) {
    // Equality ignoring case only decides where containment cannot (empty
    // texts).
    if (words[i].contains(folded) || words[i] == folded || inSubject[i]) return *names[i];
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
