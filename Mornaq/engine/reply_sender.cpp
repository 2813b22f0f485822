#include "Mornaq/engine/reply_sender.h"

#include <vector>

#include <fmt/format.h>

#include "Mornaq/engine/reply_request.h"
#include "Mornaq/engine/timed_road.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/log.h"
#include "platform/foundation/notification_center.h"
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

// The request's road goes on here: its sending step, once the request's
// delay has passed, sent through this observer's chat manager.
void receiveReplyRequest(const platform::Notification& notification, const Id& chatManager,
                         std::string_view tag) {
  platform::NSLog(fmt::format("Mornaq[{}] initWithChatStorageNSNotificationCenter", tag));
  if (!platform::lookUp(notification.userInfo, kReplyRequestChatSessionKey).object()) {
    platform::NSLog(fmt::format("Mornaq[{}] no valid chatSession found or tweak disabled.", tag));
    return;
  }
  Road road = roadOf(notification);
  road.chatManager = chatManager;
  // A delay too large to count in nanoseconds waits until the end of time
  // instead of wrapping round into the past.
  const auto delay = platform::secondsSaturating(
      requestDelaySeconds(platform::lookUp(notification.userInfo, kReplyRequestDelayKey)));
  road.elapsed = platform::saturatingAdd(road.elapsed, delay);
  auto& queue = platform::MainQueue::main();
  queue.async([road = std::move(road), delay, &queue]() mutable {
    queue.after(delay, [road = std::move(road)]() mutable { runRoad(std::move(road)); });
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

}  // namespace mornaq
