#pragma once
// How a queue runs on the real clock: a thread of its own that runs the
// tasks of a schedule as they fall due, inside its process.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/dispatch/task_schedule.h"

namespace platform {

class Process;

class QueueThread {
 public:
  // The clock counts from start, which the queues of one process share.
  QueueThread(Process& process, std::chrono::steady_clock::time_point start);
  // Lets the task under way end; the tasks still waiting are dropped.
  ~QueueThread();
  QueueThread(const QueueThread&) = delete;
  QueueThread& operator=(const QueueThread&) = delete;

  void after(Duration delay, Task task);
  Duration now() const;
  bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }
  // Whether no task is queued or waiting for its time, and none runs.
  bool idle() const;
  // Blocks until it is idle.
  void waitUntilIdle();
  // Runs every task still queued at once, in order (and those they queue),
  // then stops the thread.
  void finish();

 private:
  void run();

  Process& process_;
  const std::chrono::steady_clock::time_point start_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  TaskSchedule schedule_;
  bool running_ = false;
  bool finishing_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace platform
