#pragma once
// The in-process notification centre (NSNotificationCenter defaultCenter).
// An observer registered for a name receives every post of that name, from
// any sender, on the queue it chose: at once when the post is made on that
// queue (or no queue was chosen), else queued there.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/value.h"

namespace platform {

class MainQueue;

struct Notification {
  std::string name;
  Id object;
  Dictionary userInfo;
};

using ObserverBlock = std::function<void(const Notification&)>;

// The handle addObserverForName:… returns; removeObserver: takes it back.
class Observation;
using ObservationHandle = std::shared_ptr<Observation>;

class NotificationCenter {
 public:
  // The default centre of the current process.
  static NotificationCenter& defaultCenter();

  ObservationHandle addObserverForName(std::string name, Id object, MainQueue* queue,
                                       ObserverBlock block);
  void removeObserver(const ObservationHandle& observation);
  void postNotificationName(std::string_view name, Id object, Dictionary userInfo);
  std::size_t observerCount(std::string_view name) const;

 private:
  mutable std::mutex mutex_;
  std::vector<ObservationHandle> observations_;
};

}  // namespace platform
