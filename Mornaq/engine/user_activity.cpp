#include "Mornaq/engine/user_activity.h"

#include "platform/foundation/wall_clock.h"
#include "platform/process/process.h"

namespace mornaq {
namespace {

// Sends happen on the main queue, the add-on's and the user's alike.
struct SendState {
  UserActivity activity;
  bool ownSend = false;
};

SendState& sendState() { return platform::Process::current().state<SendState>(); }

}  // namespace

ReplyChat replyChat(const IncomingMessage& facts) {
  const host::Text& name = facts.displayName;
  const auto key = contactKey(facts.contactIdentifier);
  return {key.value_or(name.value_or("")), name.value_or(key.value_or(""))};
}

void didSendMessage(const platform::Id& chatSession) {
  auto& state = sendState();
  if (state.ownSend) return;
  const platform::Date now = platform::dateNow();
  state.activity.lastSent = now;
  if (chatSession) {
    state.activity.lastSentInChat.insert_or_assign(replyChat(readChatFacts(chatSession)).key, now);
  }
}

const UserActivity& userActivity() { return sendState().activity; }

OwnSend::OwnSend() { sendState().ownSend = true; }
OwnSend::~OwnSend() { sendState().ownSend = false; }

}  // namespace mornaq
