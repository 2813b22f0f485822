#include "platform/dispatch/queue_thread.h"

#include "platform/process/process.h"

namespace platform {

QueueThread::QueueThread(Process& process, std::chrono::steady_clock::time_point start)
    : process_(process), start_(start), thread_([this] { run(); }) {}

QueueThread::~QueueThread() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

Duration QueueThread::now() const { return std::chrono::steady_clock::now() - start_; }

void QueueThread::after(Duration delay, Task task) {
  {
    std::lock_guard lock(mutex_);
    schedule_.add(saturatingAdd(now(), delay), std::move(task));
  }
  changed_.notify_all();
}

bool QueueThread::idle() const {
  std::lock_guard lock(mutex_);
  return schedule_.empty() && !running_;
}

void QueueThread::waitUntilIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return schedule_.empty() && !running_; });
}

void QueueThread::finish() {
  {
    std::lock_guard lock(mutex_);
    finishing_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void QueueThread::run() {
  ProcessScope scope(process_);
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    const auto due = schedule_.nextDue();
    if (!due) {
      if (finishing_) return;
      changed_.wait(lock);
      continue;
    }
    if (!finishing_ && *due > now()) {
      // A due time near the end of time would overflow the clock: wait in slices.
      const auto wait = std::min<Duration>(*due - now(), std::chrono::hours(1));
      changed_.wait_for(lock, wait);
      continue;
    }
    auto task = schedule_.takeNext().task;
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
