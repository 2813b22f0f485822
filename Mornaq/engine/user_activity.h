#pragma once
// The user's own messages: the hook on the chat storage's send method sees
// every message that leaves, and this file tells the add-on's own replies
// apart from what the user sent.
#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/reply_policies.h"
#include "platform/runtime/object.h"

namespace mornaq {

// Called by the send hook after the host's own send ran.
void didSendMessage(const platform::Id& chatSession);

// The user's sends seen so far in this process.
const UserActivity& userActivity();

// The chat of a message as the history and the policies name it.
ReplyChat replyChat(const IncomingMessage& facts);

// The add-on's own send: what leaves while it lives is not the user's.
class OwnSend {
 public:
  OwnSend();
  ~OwnSend();
  OwnSend(const OwnSend&) = delete;
  OwnSend& operator=(const OwnSend&) = delete;
};

}  // namespace mornaq
