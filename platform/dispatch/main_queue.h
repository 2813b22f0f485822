#pragma once
// The main queue of a process (dispatch_get_main_queue): every delay in the
// system goes through it. It keeps the process's clock, which its background
// queue shares. The virtual queue has a manual clock, so a whole timeline can
// be tested to the exact second in microseconds; the real queue keeps the
// same contract on a thread of its own with a steady clock.
#include <chrono>
#include <optional>

#include "platform/dispatch/queue_thread.h"
#include "platform/dispatch/serial_queue.h"
#include "platform/dispatch/task_schedule.h"

namespace platform {

class Process;

class MainQueue : public SerialQueue {
 public:
  // The process's background queue: on the same clock, and ended with this
  // queue, which lets it finish its tasks.
  virtual BackgroundQueue& background() = 0;

  // The main queue of the current process.
  static MainQueue& main();
};

// Both queues of a virtual process run on the thread that drives the clock,
// in one order: due time, then the order they were queued in, whichever
// queue they were queued on.
class VirtualMainQueue final : public MainQueue {
 public:
  explicit VirtualMainQueue(Process& process) : process_(process), background_(*this) {}
  // Runs the background queue's tasks still queued; the main queue's are dropped.
  ~VirtualMainQueue() override;

  void async(Task task) override;
  void after(Duration delay, Task task) override;
  Duration now() const override { return now_; }
  // The thread that drives the clock is the main thread, but while a
  // background task runs.
  bool isCurrent() const override { return !background_.isCurrent(); }
  BackgroundQueue& background() override { return background_; }

  // Runs every task due within d, in order; the clock then stands at now + d.
  void advanceBy(Duration d);
  // Runs every task, moving the clock to each due time, until none is left.
  void runUntilIdle();
  // Runs the tasks due by then; the clock stands at then afterwards.
  void runUntil(Duration then);
  std::optional<Duration> nextDue() const { return schedule_.nextDue(); }
  bool idle() const { return schedule_.empty(); }

 private:
  class Background final : public BackgroundQueue {
   public:
    explicit Background(VirtualMainQueue& clock) : clock_(clock) {}
    void async(Task task) override;
    void after(Duration delay, Task task) override;
    Duration now() const override { return clock_.now(); }
    bool isCurrent() const override { return running_; }
    void sync(Task task) override;

    void run(Task& task);
    // Runs the background tasks due by then, leaving the clock where it is.
    void runDueBy(Duration then);

   private:
    VirtualMainQueue& clock_;
    bool running_ = false;
  };

  Process& process_;
  Duration now_{0};
  TaskSchedule schedule_;
  Background background_;
};

class RealMainQueue final : public MainQueue {
 public:
  explicit RealMainQueue(Process& process);

  void async(Task task) override;
  void after(Duration delay, Task task) override;
  Duration now() const override { return thread_.now(); }
  bool isCurrent() const override { return thread_.isCurrent(); }
  BackgroundQueue& background() override { return background_; }

  // Blocks until neither queue has a task queued or waiting for its time, and
  // none runs.
  void waitUntilIdle();

 private:
  class Background final : public BackgroundQueue {
   public:
    Background(Process& process, std::chrono::steady_clock::time_point start)
        : thread_(process, start) {}
    ~Background() override { thread_.finish(); }

    void async(Task task) override;
    void after(Duration delay, Task task) override;
    Duration now() const override { return thread_.now(); }
    bool isCurrent() const override { return thread_.isCurrent(); }
    void sync(Task task) override;

    void waitUntilIdle() { thread_.waitUntilIdle(); }

   private:
    QueueThread thread_;
  };

  const std::chrono::steady_clock::time_point start_;
  // Declared before the main queue's thread: it outlives it, so that what the
  // main queue's last task handed over is still finished.
  Background background_;
  QueueThread thread_;
};

}  // namespace platform
