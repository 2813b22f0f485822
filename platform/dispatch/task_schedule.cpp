#include "platform/dispatch/task_schedule.h"

#include <algorithm>
#include <limits>

#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace platform {

Duration saturatingAdd(Duration now, Duration delay) {
  if (delay <= Duration::zero()) return now;
  if (now > Duration::max() - delay) return Duration::max();
  return now + delay;
}

Duration secondsSaturating(std::int64_t seconds) {
  constexpr std::int64_t kNanosPerSecond = 1'000'000'000;
  constexpr auto kLimit = std::numeric_limits<Duration::rep>::max() / kNanosPerSecond;
  if (seconds > kLimit) return Duration::max();
  if (seconds < -kLimit) return Duration::min();
  return Duration(seconds * kNanosPerSecond);
}

MainQueue& MainQueue::main() { return Process::current().mainQueue(); }

BackgroundQueue& BackgroundQueue::background() { return MainQueue::main().background(); }

void TaskSchedule::add(Duration due, Task task, Lane lane) {
  tasks_.emplace(std::make_pair(due, sequence_++), std::make_pair(lane, std::move(task)));
}

std::optional<Duration> TaskSchedule::nextDue() const {
  if (tasks_.empty()) return std::nullopt;
  return tasks_.begin()->first.first;
}

ScheduledTask TaskSchedule::takeNext() {
  auto node = tasks_.extract(tasks_.begin());
  return {node.key().first, std::move(node.mapped().second), node.mapped().first};
}

std::optional<ScheduledTask> TaskSchedule::takeNextOf(Lane lane, Duration dueBy) {
  const auto next = std::find_if(tasks_.begin(), tasks_.end(), [&](const auto& entry) {
    return entry.first.first > dueBy || entry.second.first == lane;
  });
  if (next == tasks_.end() || next->first.first > dueBy) return std::nullopt;
  auto node = tasks_.extract(next);
  return ScheduledTask{node.key().first, std::move(node.mapped().second), lane};
}

}  // namespace platform
