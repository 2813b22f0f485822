#pragma once
// The main queue of a process (dispatch_get_main_queue): every delay in the
// system goes through it. Tasks run in order of due time, ties in the order
// they were queued. The virtual queue has a manual clock, so a whole timeline
// can be tested to the exact second in microseconds; the real queue keeps the
// same contract on a thread of its own with a steady clock.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace platform {

class Process;
using Task = std::function<void()>;
using Duration = std::chrono::nanoseconds;

// now + delay, held at the largest time instead of wrapping into the past.
Duration saturatingAdd(Duration now, Duration delay);
// seconds × 10^9 ns, saturating: dispatch_time(DISPATCH_TIME_NOW, seconds * NSEC_PER_SEC).
Duration secondsSaturating(std::int64_t seconds);

class MainQueue {
 public:
  virtual ~MainQueue() = default;
  // dispatch_async: runs task as soon as the queue gets to it.
  virtual void async(Task task) = 0;
  // dispatch_after: runs task once delay has passed (at once for delay <= 0).
  virtual void after(Duration delay, Task task) = 0;
  // Time since the process started.
  virtual Duration now() const = 0;
  // Whether the calling thread is the one the queue runs its tasks on.
  virtual bool isCurrent() const = 0;

  // The main queue of the current process.
  static MainQueue& main();
};

// Tasks waiting for their due time, shared by both queues.
class TaskSchedule {
 public:
  void add(Duration due, Task task);
  std::optional<Duration> nextDue() const;
  // The earliest task, removed from the schedule.
  std::pair<Duration, Task> takeNext();
  bool empty() const { return tasks_.empty(); }

 private:
  std::map<std::pair<Duration, std::uint64_t>, Task> tasks_;
  std::uint64_t sequence_ = 0;
};

class VirtualMainQueue final : public MainQueue {
 public:
  explicit VirtualMainQueue(Process& process) : process_(process) {}

  void async(Task task) override;
  void after(Duration delay, Task task) override;
  Duration now() const override { return now_; }
  bool isCurrent() const override { return true; }

  // Runs every task due within d, in order; the clock then stands at now + d.
  void advanceBy(Duration d);
  // Runs every task, moving the clock to each due time, until none is left.
  void runUntilIdle();
  // Runs the tasks due by then; the clock stands at then afterwards.
  void runUntil(Duration then);
  std::optional<Duration> nextDue() const { return schedule_.nextDue(); }
  bool idle() const { return schedule_.empty(); }

 private:
  Process& process_;
  Duration now_{0};
  TaskSchedule schedule_;
};

class RealMainQueue final : public MainQueue {
 public:
  explicit RealMainQueue(Process& process);
  ~RealMainQueue() override;

  void async(Task task) override;
  void after(Duration delay, Task task) override;
  Duration now() const override;
  bool isCurrent() const override { return std::this_thread::get_id() == thread_.get_id(); }

  // Blocks until no task is queued or waiting for its time, and none runs.
  void waitUntilIdle();

 private:
  void run();

  Process& process_;
  const std::chrono::steady_clock::time_point start_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  TaskSchedule schedule_;
  bool running_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace platform
