#pragma once
// The evaluation: which reply, if any, answers a message on the path the
// decision chose. Both paths work alike: the owner's word-match rules first
// (when word matching is on), else the path's own reply (when it is on).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Mornaq/engine/rule_matching.h"
#include "Mornaq/host/host_interface.h"
#include "platform/foundation/value.h"

namespace mornaq {

struct Reply {
  std::string text;
  // Whole seconds: a path's delay as text, a rule's as the rule file holds it.
  platform::Value delay;
  bool operator==(const Reply&) const = default;
};

// Reads the rule file; called only when word matching is on, so a path
// without it never touches the file. Shared, so that a large file is not
// copied for every message.
using RuleFileReader = std::function<std::shared_ptr<const platform::Dictionary>()>;

struct Evaluation {
  bool isWordMatch = false;  // isWordMatch or isWordMatchGlob
  bool isAutoReply = false;  // isAutoReplyContact or isGlobAutoEnabled
  std::string subject;       // the text the rules were tried against
  Reply ownReply;            // the path's reply and delay, after their fallbacks
  std::optional<MatchedRule> rule{};
  // The rules tried before an answer was found that could not be tried.
  std::vector<RuleProblem> ruleProblems{};

  // The matched rule's reply; else the path's own when it is on; else none.
  std::optional<Reply> reply() const;
};

// A contact's path: its entry and its rules. An empty text is tried against
// the rules as "NOSMS", so a rule can answer messages without words.
Evaluation evaluateContact(const platform::Dictionary& entry, std::string_view contactKey,
                           const host::Text& text, const RuleFileReader& readRuleFile);

// The global path: the top-level settings and the global rules, tried
// against the text as received.
Evaluation evaluateGlobal(const platform::Dictionary& snapshot, const host::Text& text,
                          const RuleFileReader& readRuleFile);

}  // namespace mornaq
