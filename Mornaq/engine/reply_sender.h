#pragma once
// Sending: the observers that receive reply requests and run each request's
// sending step after its delay, through the chat manager that the host
// created.
#include <string>
#include <string_view>

#include "Mornaq/host/host_interface.h"

namespace mornaq {

// Which chat-manager initialiser registered an observer; it only changes the
// wording of the observer's log lines.
inline constexpr std::string_view kChatManagerInit17Tag = "110.30";
inline constexpr std::string_view kChatManagerInit16Tag = "20.100-102";

// Observes reply requests on the main queue for the rest of the process (or
// until removeReplyObservers), sending each through chatManager's storage.
// Every call adds one more observer, and so one more copy of every reply.
void registerReplyObserver(const platform::Id& chatManager, std::string_view variantTag);

// Removes every observer registered in this process.
void removeReplyObservers();

}  // namespace mornaq
