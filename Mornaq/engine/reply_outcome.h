#pragma once
// The whole road of one message at once, as a function of its facts, the
// settings snapshot and the rule file, built from the same steps that the
// message's timeline runs one by one: the dry run.
#include <optional>

#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/reply_evaluation.h"
#include "Mornaq/engine/reply_why.h"
#include "platform/foundation/value.h"

namespace mornaq {

// With the master switch as read at receipt and as it was when the app
// started (which decides whether observers are there to send).
// The reply policies look at the message's receivedAt, the reply history and
// the user's sends given.
ReplyWhy replyRoad(const IncomingMessage& incoming, const platform::Dictionary& snapshot,
                   const platform::Dictionary& ruleFile, bool switchAtReceipt, bool switchAtStart,
                   const ReplyHistory& history = {}, const UserActivity& activity = {});

// The reply request the decision posts for a message that passed receipt,
// or none.
std::optional<Reply> replyOutcome(const IncomingMessage& incoming,
                                  const platform::Dictionary& snapshot,
                                  const platform::Dictionary& ruleFile);

}  // namespace mornaq
