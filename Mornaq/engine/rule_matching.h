#pragma once
// Word-match rules: which rule of an owner's rule set answers a text. Each
// rule compares its match word with the text in the way its customMatchKind
// names (absent: either text contains the other, as rules always did); the
// kinds are listed in common/settings_format.h and docs/command.md.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/value.h"

namespace mornaq {

// A rule that could not be tried: it matches nothing, and the rules after it
// are tried as usual.
struct RuleProblem {
  std::string word;  // the rule's match word
  // What is wrong, as a clause of the why-trace:
  // the pattern of rule "(order" is not valid: missing )
  std::string why;
  bool operator==(const RuleProblem&) const = default;
};

// What trying a rule set found: the first rule that matches, and the rules
// before it that could not be tried.
struct RuleSearch {
  std::optional<std::string> word;  // the matching rule's match word
  std::vector<RuleProblem> problems;
};

// Tries the rules of ruleSet against subject in the rule set's order; the
// first that matches decides. Nothing matches in an absent rule set.
RuleSearch searchRuleSet(const platform::Dictionary* ruleSet, std::string_view subject);

// searchRuleSet's match word alone.
std::optional<std::string> findMatchingRule(const platform::Dictionary* ruleSet,
                                            std::string_view subject);

struct MatchedRule {
  std::string word;  // the match word: the rule's key in its rule set
  // The rule's values as the file holds them (nil when missing), for the
  // log line that shows what the user stored.
  platform::Value storedMatch;
  platform::Value storedReply;
  platform::Value storedDelay;
  // The same values with their fallbacks: what is sent and remembered. The
  // delay goes to the sender as stored (a number stays a number), or "3".
  std::string customMatch;
  std::string customMatchRe;
  platform::Value customMatchReDelay;
};

// What trying an owner's rules found: the rule that answers, if any, and the
// rules before it that could not be tried.
struct RuleMatch {
  std::optional<MatchedRule> rule{};
  std::vector<RuleProblem> problems;
};

// The rule that answers subject among the rules that owner (a contact key or
// the global owner) holds in the rule file.
RuleMatch matchRules(const platform::Dictionary& ruleFile, std::string_view owner,
                     std::string_view subject);

}  // namespace mornaq
