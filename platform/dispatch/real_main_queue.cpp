#include <condition_variable>
#include <mutex>

#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace platform {

RealMainQueue::RealMainQueue(Process& process)
    : start_(std::chrono::steady_clock::now()),
      background_(process, start_),
      thread_(process, start_) {}

void RealMainQueue::async(Task task) { thread_.after(Duration::zero(), std::move(task)); }

void RealMainQueue::after(Duration delay, Task task) { thread_.after(delay, std::move(task)); }

// A task of either queue may hand the other more work.
void RealMainQueue::waitUntilIdle() {
  do {
    thread_.waitUntilIdle();
    background_.waitUntilIdle();
  } while (!thread_.idle());
}

void RealMainQueue::Background::async(Task task) {
  thread_.after(Duration::zero(), std::move(task));
}

void RealMainQueue::Background::after(Duration delay, Task task) {
  thread_.after(delay, std::move(task));
}

void RealMainQueue::Background::sync(Task task) {
  if (isCurrent()) fatal("a background task waits for its own queue");
  std::mutex mutex;
  std::condition_variable ran;
  bool done = false;
  thread_.after(Duration::zero(), [&] {
    task();
    std::lock_guard lock(mutex);
    done = true;
    ran.notify_all();
  });
  std::unique_lock lock(mutex);
  ran.wait(lock, [&] { return done; });
}

}  // namespace platform
