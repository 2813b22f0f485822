#include "Mornaq/engine/reply_request.h"

#include <algorithm>

#include "platform/foundation/notification_center.h"

namespace mornaq {

std::int64_t requestDelaySeconds(const platform::Value& delay) {
  return std::max<std::int64_t>(0, delay.longLongValue());
}

void postReplyRequest(const std::string& text, const platform::Value& delay,
                      const platform::Id& chatSession, std::optional<platform::Date> receivedAt) {
  platform::Dictionary userInfo;
  userInfo.emplace(kReplyRequestMsgKey, text);
  userInfo.emplace(kReplyRequestDelayKey, delay);
  // The sender drops a request without a chat, with its own log line.
  if (chatSession) userInfo.emplace(kReplyRequestChatSessionKey, chatSession);
  if (receivedAt) userInfo.emplace(kReplyRequestReceivedAtKey, *receivedAt);
  platform::NotificationCenter::defaultCenter().postNotificationName(kReplyRequestNotification,
                                                                     nullptr, std::move(userInfo));
}

}  // namespace mornaq
