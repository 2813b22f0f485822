#include "Mornaq/engine/reply_request.h"

#include "platform/foundation/notification_center.h"

namespace mornaq {

void postReplyRequest(const std::string& text, const std::string& delay,
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
