#include "platform/foundation/notification_center.h"

#include <algorithm>

#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace platform {

class Observation {
 public:
  Observation(std::string name, Id object, MainQueue* queue, ObserverBlock block)
      : name(std::move(name)), object(std::move(object)), queue(queue), block(std::move(block)) {}

  bool wants(std::string_view posted, const Id& sender) const {
    return name == posted && (!object || object == sender);
  }

  const std::string name;
  const Id object;
  MainQueue* const queue;
  const ObserverBlock block;
};

NotificationCenter& NotificationCenter::defaultCenter() {
  return Process::current().notificationCenter();
}

ObservationHandle NotificationCenter::addObserverForName(std::string name, Id object,
                                                         MainQueue* queue, ObserverBlock block) {
  auto observation =
      std::make_shared<Observation>(std::move(name), std::move(object), queue, std::move(block));
  std::lock_guard lock(mutex_);
  observations_.push_back(observation);
  return observation;
}

void NotificationCenter::removeObserver(const ObservationHandle& observation) {
  std::lock_guard lock(mutex_);
  std::erase(observations_, observation);
}

void NotificationCenter::postNotificationName(std::string_view name, Id object,
                                              Dictionary userInfo) {
  std::vector<ObservationHandle> receivers;
  {
    std::lock_guard lock(mutex_);
    for (const auto& observation : observations_) {
      if (observation->wants(name, object)) receivers.push_back(observation);
    }
  }
  auto notification = std::make_shared<const Notification>(
      Notification{std::string(name), std::move(object), std::move(userInfo)});
  for (const auto& receiver : receivers) {
    if (!receiver->queue || receiver->queue->isCurrent()) {
      receiver->block(*notification);
    } else {
      receiver->queue->async([receiver, notification] { receiver->block(*notification); });
    }
  }
}

std::size_t NotificationCenter::observerCount(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return std::count_if(observations_.begin(), observations_.end(),
                       [&](const auto& o) { return o->name == name; });
}

}  // namespace platform
