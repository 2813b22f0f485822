#pragma once
// The decision: whose settings govern a screened message's sender.
#include <optional>
#include <string>

#include "Mornaq/engine/incoming_message.h"
#include "platform/foundation/value.h"

namespace mornaq {

enum class ReplyPath { None, Contact, Global };

struct Decision {
  std::optional<std::string> contactKey;
  // The sender's entry inside the snapshot; nullptr without a key or entry.
  const platform::Dictionary* entry = nullptr;
  bool isGlobalEnabled = false;
  bool isGlobAutoEnabled = false;
  bool isContactEnabled = false;
  bool isContactBlackList = false;
  // audienceGlob as stored, when it is: whom the global path answers. None:
  // everyone, as it always has.
  std::optional<std::string> audience{};
  // Whether the sender is one of them.
  bool inAudience = true;
  ReplyPath path = ReplyPath::None;
};

// A blacklisted entry bars both paths; an enabled entry takes the contact
// path without looking at the global switch; everybody else takes the global
// path when it is on and they are among those it answers. The decision points
// into snapshot, which must outlive it.
Decision decide(const IncomingMessage& incoming, const platform::Dictionary& snapshot);

}  // namespace mornaq
