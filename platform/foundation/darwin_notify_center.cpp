#include "platform/foundation/darwin_notify_center.h"

namespace platform {
namespace {

// A function, not a lambda: Clang names a lambda in debug information by its
// source file's absolute path, which would tie the library to its build tree.
bool gone(const std::weak_ptr<const DarwinNotifyCenter::Observer>& observer) {
  return observer.expired();
}

}  // namespace

DarwinNotifyCenter& DarwinNotifyCenter::shared() {
  static DarwinNotifyCenter center;
  return center;
}

DarwinNotifyCenter::ObserverHandle DarwinNotifyCenter::addObserver(Observer observer) {
  auto handle = std::make_shared<const Observer>(std::move(observer));
  std::lock_guard lock(mutex_);
  observers_.push_back(handle);
  return handle;
}

void DarwinNotifyCenter::post(std::string_view name) {
  // Observers run unlocked, so that one may post or add observers itself.
  std::vector<ObserverHandle> live;
  {
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, gone);
    for (const auto& observer : observers_) {
      if (auto handle = observer.lock()) live.push_back(std::move(handle));
    }
  }
  const std::string text(name);
  for (const auto& observer : live) (*observer)(text);
}

}  // namespace platform
