#include "Mornaq/engine/incoming_message.h"

#include "common/settings_format.h"

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
  // One pass over the original text, as the phone's replace-all does: the
  // pieces left either side of a removed suffix are not searched again.
  const std::string_view identifier = *contactIdentifier;
  const std::string_view suffix = format::kAddressBookSuffix;
  std::string key;
  std::size_t from = 0;
  for (auto found = identifier.find(suffix); found != std::string_view::npos;
       found = identifier.find(suffix, from)) {
    key.append(identifier.substr(from, found - from));
    from = found + suffix.size();
  }
  key.append(identifier.substr(from));
  return key;
}

}  // namespace mornaq
