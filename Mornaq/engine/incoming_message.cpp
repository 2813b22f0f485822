#include "Mornaq/engine/incoming_message.h"

#include "common/contact_key.h"

namespace mornaq {

IncomingMessage readIncomingMessage(const platform::Id& message,
                                    const platform::Id& notificationCenter) {
  IncomingMessage incoming{.message = message};
  incoming.chatSession = host::chatSession(message);
  incoming.isGroupChat = host::isGroupChat(incoming.chatSession);
  incoming.fromJID = host::fromJID(message);
  incoming.isMuted = host::isChatWithJIDMuted(notificationCenter, incoming.fromJID);
  incoming.text = host::text(message);
  incoming.sessionType = host::sessionType(incoming.chatSession);
  incoming.contactIdentifier = host::contactIdentifier(incoming.chatSession);
  return incoming;
}

std::optional<std::string> contactKey(const host::Text& contactIdentifier) {
  if (!contactIdentifier) return std::nullopt;
  return format::contactKey(*contactIdentifier);
}

}  // namespace mornaq
