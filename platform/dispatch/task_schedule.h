#pragma once
// Tasks waiting for their due time: a real queue's own, or both queues' of a
// virtual clock, each task marked with the queue it was queued on.
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "platform/dispatch/serial_queue.h"

namespace platform {

enum class Lane { Main, Background };

struct ScheduledTask {
  Duration due;
  Task task;
  Lane lane = Lane::Main;
};

class TaskSchedule {
 public:
  void add(Duration due, Task task, Lane lane = Lane::Main);
  std::optional<Duration> nextDue() const;
  // The earliest task, removed from the schedule.
  ScheduledTask takeNext();
  // The earliest task of lane due by then, removed; none when there is none.
  std::optional<ScheduledTask> takeNextOf(Lane lane, Duration dueBy);
  bool empty() const { return tasks_.empty(); }

 private:
  std::map<std::pair<Duration, std::uint64_t>, std::pair<Lane, Task>> tasks_;
  std::uint64_t sequence_ = 0;
};

}  // namespace platform
