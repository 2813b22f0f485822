#pragma once
// The reply request: the in-process notification through which the decision
// hands a chosen reply to the sender. Both sides name it through this file.
#include <cstdint>
#include <optional>
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
// When the answered message arrived (a date); only while the user's own reply
// holds replies back, which the sender then checks as the reply leaves.
inline constexpr std::string_view kReplyRequestReceivedAtKey = "receivedAt";

// The seconds the sender waits for a request's "delay" (longLongValue: the
// leading whole number of a text, a number truncated); 0 for a negative
// delay or one without a number, which fires at once.
std::int64_t requestDelaySeconds(const platform::Value& delay);

// Posts a reply request on the current process's default notification centre,
// with no sender object.
void postReplyRequest(const std::string& text, const platform::Value& delay,
                      const platform::Id& chatSession,
                      std::optional<platform::Date> receivedAt = std::nullopt);

}  // namespace mornaq
