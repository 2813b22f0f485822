#pragma once
// A value that threads other than the main queue's may read and write: every
// access holds a lock, so that code above the platform needs no threading
// header of its own.
#include <mutex>
#include <utility>

namespace platform {

template <class T>
class Guarded {
 public:
  T get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }

  void set(T value) {
    std::lock_guard lock(mutex_);
    value_ = std::move(value);
  }

  // Runs change on the value under the lock, so that reading and changing it
  // are one step; hands back what change returns.
  template <class Change>
  auto update(Change&& change) {
    std::lock_guard lock(mutex_);
    return std::forward<Change>(change)(value_);
  }

 private:
  mutable std::mutex mutex_;
  T value_{};
};

}  // namespace platform
