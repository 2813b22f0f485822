#pragma once
// The whole decision for one message as a single function of its facts, the
// settings snapshot and the rule file, built from the same steps that the
// message's timeline runs one by one.
#include <optional>

#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/reply_evaluation.h"
#include "platform/foundation/value.h"

namespace mornaq {

std::optional<Reply> replyOutcome(const IncomingMessage& incoming,
                                  const platform::Dictionary& snapshot,
                                  const platform::Dictionary& ruleFile);

}  // namespace mornaq
