#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace platform {

RealMainQueue::RealMainQueue(Process& process)
    : process_(process), start_(std::chrono::steady_clock::now()), thread_([this] { run(); }) {}

RealMainQueue::~RealMainQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

Duration RealMainQueue::now() const { return std::chrono::steady_clock::now() - start_; }

void RealMainQueue::async(Task task) { after(Duration::zero(), std::move(task)); }

void RealMainQueue::after(Duration delay, Task task) {
  {
    std::lock_guard lock(mutex_);
    schedule_.add(saturatingAdd(now(), delay), std::move(task));
  }
  changed_.notify_all();
}

void RealMainQueue::waitUntilIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return schedule_.empty() && !running_; });
}

void RealMainQueue::run() {
  ProcessScope scope(process_);
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    const auto due = schedule_.nextDue();
    if (!due) {
      changed_.wait(lock);
      continue;
    }
    if (*due > now()) {
      // A due time near the end of time would overflow the clock: wait in slices.
      const auto wait = std::min<Duration>(*due - now(), std::chrono::hours(1));
      changed_.wait_for(lock, wait);
      continue;
    }
    auto task = schedule_.takeNext().second;
    running_ = true;
    lock.unlock();
    task();
    task = nullptr;
    lock.lock();
    running_ = false;
    changed_.notify_all();
  }
}

}  // namespace platform
