#pragma once
// Screening: the messages that are never answered, whoever sent them.
#include "Mornaq/engine/incoming_message.h"
#include "platform/foundation/value.h"

namespace mornaq {

enum class Screening { Pass, Muted, Story, NoText, Group };

// The first test that refuses the message names the outcome, so a muted
// status story counts as muted.
Screening screen(const IncomingMessage& incoming, const platform::Dictionary& snapshot);

}  // namespace mornaq
