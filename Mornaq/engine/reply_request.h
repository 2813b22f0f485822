#pragma once
// The reply request: the in-process notification through which the decision
// hands a chosen reply to the sender. Both sides name it through this file.
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace mornaq {

inline constexpr std::string_view kReplyRequestNotification = "MornaqSendWMMessage";
// User-info keys: the reply template, its delay in whole seconds (a text, or a
// rule's delay as stored), and the chat to answer (left out when the message
// had no chat).
inline constexpr std::string_view kReplyRequestMsgKey = "msg";
inline constexpr std::string_view kReplyRequestDelayKey = "delay";
inline constexpr std::string_view kReplyRequestChatSessionKey = "ChatSession";

// Posts a reply request on the current process's default notification centre,
// with no sender object.
void postReplyRequest(const std::string& text, const platform::Value& delay,
                      const platform::Id& chatSession);

}  // namespace mornaq
