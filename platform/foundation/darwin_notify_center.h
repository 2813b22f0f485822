#pragma once
// The system-wide (Darwin) notification centre: a post carries a name only,
// no object and no user info, and reaches every observer of every process.
// Nothing in the add-on observes it; hosts observe it to show the posts.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class DarwinNotifyCenter {
 public:
  using Observer = std::function<void(const std::string& name)>;
  // An observer stays registered while its handle lives.
  using ObserverHandle = std::shared_ptr<const Observer>;

  // One centre for the whole program: the Darwin centre is shared by every
  // process on the phone, so every simulated process here sees every post.
  static DarwinNotifyCenter& shared();

  // Observers run on the posting thread, in the order they were added.
  [[nodiscard]] ObserverHandle addObserver(Observer observer);
  void post(std::string_view name);

 private:
  std::mutex mutex_;
  std::vector<std::weak_ptr<const Observer>> observers_;
};

// CFNotificationCenterGetDarwinNotifyCenter()
inline DarwinNotifyCenter& CFNotificationCenterGetDarwinNotifyCenter() {
  return DarwinNotifyCenter::shared();
}

// CFNotificationCenterPostNotification(center, name, NULL, NULL, YES): the
// Darwin centre drops object and user info and always delivers at once, so
// the name is all there is to give.
inline void CFNotificationCenterPostNotification(DarwinNotifyCenter& center,
                                                 std::string_view name) {
  center.post(name);
}

}  // namespace platform
