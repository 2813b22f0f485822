#include "Mornaq/engine/incoming_message.h"

#include "common/contact_key.h"

namespace mornaq {

IncomingMessage readChatFacts(const platform::Id& chatSession) {
  IncomingMessage facts{.chatSession = chatSession};
  facts.isGroupChat = host::isGroupChat(chatSession);
  facts.sessionType = host::sessionType(chatSession);
  facts.contactIdentifier = host::contactIdentifier(chatSession);
  facts.displayName = host::displayName(chatSession);
  return facts;
}

IncomingMessage readIncomingMessage(const platform::Id& message,
                                    const platform::Id& notificationCenter) {
  IncomingMessage incoming = readChatFacts(host::chatSession(message));
  incoming.message = message;
  incoming.fromJID = host::fromJID(message);
  incoming.isMuted = host::isChatWithJIDMuted(notificationCenter, incoming.fromJID);
  incoming.text = host::text(message);
  return incoming;
}

std::optional<std::string> contactKey(const host::Text& contactIdentifier) {
  if (!contactIdentifier) return std::nullopt;
  return format::contactKey(*contactIdentifier);
}

}  // namespace mornaq
