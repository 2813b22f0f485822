#pragma once
// What every queue of a process promises (a serial dispatch_queue_t): tasks
// run one at a time, in order of due time, ties in the order they were
// queued. The main queue and the background queue keep the same contract on
// the same clock (platform/dispatch/main_queue.h).
#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

using Task = std::function<void()>;
using Duration = std::chrono::nanoseconds;

// now + delay, held at the largest time instead of wrapping into the past.
Duration saturatingAdd(Duration now, Duration delay);
// seconds × 10^9 ns, saturating: dispatch_time(DISPATCH_TIME_NOW, seconds * NSEC_PER_SEC).
Duration secondsSaturating(std::int64_t seconds);

class SerialQueue {
 public:
  virtual ~SerialQueue() = default;
  // dispatch_async: runs task as soon as the queue gets to it.
  virtual void async(Task task) = 0;
  // dispatch_after: runs task once delay has passed (at once for delay <= 0).
  virtual void after(Duration delay, Task task) = 0;
  // Time since the process started.
  virtual Duration now() const = 0;
  // Whether the calling code runs as one of the queue's tasks.
  virtual bool isCurrent() const = 0;
};

// The process's serial background queue, for work the main queue must not
// wait for (writing a file). When the process ends, the tasks still queued
// on it run at once, in their order, before it goes: work handed to it is
// finished, never dropped.
class BackgroundQueue : public SerialQueue {
 public:
  // dispatch_sync: runs task on the queue after the tasks already due there,
  // and returns once it has run. Never called from one of the queue's own
  // tasks (it would wait for itself).
  virtual void sync(Task task) = 0;

  // The background queue of the current process.
  static BackgroundQueue& background();
};

}  // namespace platform
