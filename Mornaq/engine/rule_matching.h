#pragma once
// Word-match rules: which rule of an owner's rule set answers a text.
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace mornaq {

// The match word of the first rule in ruleSet whose word and subject contain
// one another or are equal, ignoring case; none for an absent rule set.
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

// The rule that answers subject among the rules that owner (a contact key or
// the global owner) holds in the rule file; none when nothing matches.
std::optional<MatchedRule> matchRule(const platform::Dictionary& ruleFile, std::string_view owner,
                                     std::string_view subject);

}  // namespace mornaq
