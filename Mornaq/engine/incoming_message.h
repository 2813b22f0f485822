#pragma once
// The facts taken from the host about one received message, once, as it
// arrives. Every later step is a function of this record, the settings and
// the rule file: after receipt only the send talks to the host.
#include <cstdint>
#include <optional>
#include <string>

#include "Mornaq/host/host_interface.h"
#include "platform/foundation/value.h"

namespace mornaq {

// sessionType of a chat that is a status story.
inline constexpr std::int64_t kStatusStorySessionType = 3;

struct IncomingMessage {
  // Held until the message's road has ended.
  platform::Id message{};
  host::Text text{};
  platform::Id chatSession{};
  bool isGroupChat = false;
  std::int64_t sessionType = 0;
  platform::Id fromJID{};
  bool isMuted = false;
  host::Text contactIdentifier{};
  host::Text displayName{};
  // Not the host's: the phone's date when the message arrived.
  platform::Date receivedAt{};
};

// Asks the host in a fixed order: the chat session's facts (below), then the
// sender, whether the sender's chat is muted (NO without a captured
// notification centre) and the text.
IncomingMessage readIncomingMessage(const platform::Id& message,
                                    const platform::Id& notificationCenter);

// The facts of a chat session alone: whether it is a group, its session type,
// contact identifier and display name. A nil chat session answers NO, 0 and
// none.
IncomingMessage readChatFacts(const platform::Id& chatSession);

// The key of the chat's contact in both settings files: the identifier with
// every ":ABPerson" removed; none without an identifier.
std::optional<std::string> contactKey(const host::Text& contactIdentifier);

}  // namespace mornaq
