#include "Mornaq/engine/reply_outcome.h"

#include "Mornaq/engine/reply_path.h"
#include "Mornaq/engine/screening.h"

namespace mornaq {

std::optional<Reply> replyOutcome(const IncomingMessage& incoming,
                                  const platform::Dictionary& snapshot,
                                  const platform::Dictionary& ruleFile) {
  if (screen(incoming, snapshot) != Screening::Pass) return std::nullopt;
  const Decision decision = decide(incoming, snapshot);
  // Shares the caller's rule file without owning it: it outlives this call.
  const RuleFileReader readRuleFile = [&ruleFile] {
    return std::shared_ptr<const platform::Dictionary>(std::shared_ptr<void>(), &ruleFile);
  };
  switch (decision.path) {
    case ReplyPath::Contact:
      return evaluateContact(*decision.entry, *decision.contactKey, incoming.text, readRuleFile)
          .reply();
    case ReplyPath::Global:
      return evaluateGlobal(snapshot, incoming.text, readRuleFile).reply();
    case ReplyPath::None:
      break;
  }
  return std::nullopt;
}

}  // namespace mornaq
