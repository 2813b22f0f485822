#pragma once
// The reply request: the in-process notification through which the decision
// hands a chosen reply to the sender. Both sides name it through this file.
#include <cstdint>
#include <string_view>

#include "Mornaq/engine/reply_road.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/value.h"

namespace mornaq {

inline constexpr std::string_view kReplyRequestNotification = "MornaqSendWMMessage";
// User-info keys: the reply template, its delay in whole seconds (a text, or a
// rule's delay as stored), and the chat to answer (left out when the message
// had no chat).
inline constexpr std::string_view kReplyRequestMsgKey = "msg";
inline constexpr std::string_view kReplyRequestDelayKey = "delay";
inline constexpr std::string_view kReplyRequestChatSessionKey = "ChatSession";
// Inside the library the request also carries the message's road, so that the
// sender goes on with the facts taken at receipt instead of asking the host.
inline constexpr std::string_view kReplyRequestRoadKey = "MornaqRoad";

// The seconds the sender waits for a request's "delay" (longLongValue: the
// leading whole number of a text, a number truncated); 0 for a negative
// delay or one without a number, which fires at once.
std::int64_t requestDelaySeconds(const platform::Value& delay);

// Posts the request for the road's reply on the current process's default
// notification centre, with no sender object.
void postReplyRequest(const Road& road);

// The road a request carries on to its sending step. A request someone else
// posted has none: its road starts there, with the chat's facts asked of the
// host and no settings of its own.
Road roadOf(const platform::Notification& request);

}  // namespace mornaq
