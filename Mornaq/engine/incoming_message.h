#pragma once
// The facts taken from the host about one received message. Screening
// gathers them once; every later decision is a function of this record, the
// settings snapshot and the rule file, never of the host.
#include <cstdint>
#include <optional>
#include <string>

#include "Mornaq/host/host_interface.h"
#include "platform/foundation/value.h"

namespace mornaq {

// sessionType of a chat that is a status story.
inline constexpr std::int64_t kStatusStorySessionType = 3;

struct IncomingMessage {
  // Held until the evaluation step has run.
  platform::Id message{};
  host::Text text{};
  platform::Id chatSession{};
  bool isGroupChat = false;
  std::int64_t sessionType = 0;
  platform::Id fromJID{};
  bool isMuted = false;
  host::Text contactIdentifier{};
  // Not the host's: the phone's date when screening took the message.
  platform::Date receivedAt{};
};

// Asks the host in a fixed order: the chat session, whether it is a group,
// whether the sender's chat is muted (NO without a captured notification
// centre), then the text, the session type and the contact identifier. A nil
// chat session answers NO, 0 and no identifier.
IncomingMessage readIncomingMessage(const platform::Id& message,
                                    const platform::Id& notificationCenter);

// The key of the chat's contact in both settings files: the identifier with
// every ":ABPerson" removed; none without an identifier.
std::optional<std::string> contactKey(const host::Text& contactIdentifier);

}  // namespace mornaq
