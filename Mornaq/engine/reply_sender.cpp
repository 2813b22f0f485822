#include "Mornaq/engine/reply_sender.h"

#include <optional>
#include <vector>

#include <fmt/format.h>

#include "Mornaq/engine/history_file.h"
#include "Mornaq/engine/reply_policies.h"
#include "Mornaq/engine/reply_request.h"
#include "Mornaq/engine/user_activity.h"
#include "common/settings_format.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/log.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/wall_clock.h"
#include "platform/process/process.h"

namespace mornaq {
namespace {

using platform::Id;

// The observations this process registered, kept for the termination hook.
// Registration happens while the host starts and removal on its main thread
// when it ends, so the two never overlap.
struct ReplyObservers {
  std::vector<platform::ObservationHandle> handles;
};

struct ReplyRequest {
  std::string text;
  std::int64_t delaySeconds = 0;
  Id chatSession;
  std::optional<platform::Date> receivedAt;
};

std::optional<platform::Date> receivedAt(const platform::Dictionary& userInfo) {
  const auto* date = std::get_if<platform::Date>(
      &platform::lookUp(userInfo, kReplyRequestReceivedAtKey).storage());
  return date ? std::optional(*date) : std::nullopt;
}

void replaceAll(std::string& text, std::string_view placeholder, std::string_view replacement) {
  for (auto at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + replacement.size())) {
    text.replace(at, placeholder.size(), replacement);
  }
}

// The policies that count replies or watch the user decide now, as the
// reply is about to leave; every reply that leaves is recorded. The settings
// are read shared: a copy of a large file for every reply is work that grows
// with the file.
void sendReply(const ReplyRequest& request, const Id& chatManager) {
  const ReplyChat chat = replyChat(request.chatSession);
  const platform::Date now = platform::dateNow();
  if (const auto hold = firstHold(verdictsBeforeSending(
          *platform::readPlistShared(format::kMainSettingsPath), readReplyHistory(), userActivity(),
          chat, request.receivedAt, now))) {
    platform::NSLog(heldBackLine(*hold));
    return;
  }
  platform::NSLog(fmt::format("Mornaq sendMessage:-{}",
                              platform::orNull(host::contactIdentifier(request.chatSession))));
  const std::string text =
      expandReplyTemplate(request.text, host::displayName(request.chatSession));
  {
    const OwnSend own;
    host::sendMessageWithText(host::chatStorage(chatManager), text, false, nullptr, 1,
                              request.chatSession, false, false, false);
  }
  recordReply({now, chat.key, chat.name, text});
}

void receiveReplyRequest(const platform::Notification& notification, const Id& chatManager,
                         std::string_view tag) {
  platform::NSLog(fmt::format("Mornaq[{}] initWithChatStorageNSNotificationCenter", tag));
  const auto& userInfo = notification.userInfo;
  ReplyRequest request{
      .text = platform::lookUp(userInfo, kReplyRequestMsgKey).stringValue().value_or(""),
      .delaySeconds = requestDelaySeconds(platform::lookUp(userInfo, kReplyRequestDelayKey)),
      .chatSession = platform::lookUp(userInfo, kReplyRequestChatSessionKey).object(),
      .receivedAt = receivedAt(userInfo),
  };
  if (!request.chatSession) {
    platform::NSLog(fmt::format("Mornaq[{}] no valid chatSession found or tweak disabled.", tag));
    return;
  }
  auto& queue = platform::MainQueue::main();
  queue.async([request = std::move(request), chatManager, &queue] {
    // A delay too large to count in nanoseconds waits until the end of time
    // instead of wrapping round into the past.
    queue.after(platform::secondsSaturating(request.delaySeconds),
                [request, chatManager] { sendReply(request, chatManager); });
  });
}

}  // namespace

void registerReplyObserver(const Id& chatManager, std::string_view variantTag) {
  auto& center = platform::NotificationCenter::defaultCenter();
  auto handle = center.addObserverForName(
      std::string(kReplyRequestNotification), nullptr, &platform::MainQueue::main(),
      [chatManager, tag = std::string(variantTag)](const platform::Notification& notification) {
        receiveReplyRequest(notification, chatManager, tag);
      });
  platform::Process::current().state<ReplyObservers>().handles.push_back(std::move(handle));
}

void removeReplyObservers() {
  auto& center = platform::NotificationCenter::defaultCenter();
  auto& handles = platform::Process::current().state<ReplyObservers>().handles;
  for (const auto& handle : handles) center.removeObserver(handle);
  handles.clear();
}

std::string expandReplyTemplate(std::string_view replyTemplate, const host::Text& displayName) {
  std::string text(replyTemplate);
  replaceAll(text, ":newline:", "\n");
  replaceAll(text, ":name:", displayName.value_or(""));
  return text;
}

}  // namespace mornaq
