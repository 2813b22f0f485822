#include "platform/dispatch/main_queue.h"

#include <limits>

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

void TaskSchedule::add(Duration due, Task task) {
  tasks_.emplace(std::make_pair(due, sequence_++), std::move(task));
}

std::optional<Duration> TaskSchedule::nextDue() const {
  if (tasks_.empty()) return std::nullopt;
  return tasks_.begin()->first.first;
}

std::pair<Duration, Task> TaskSchedule::takeNext() {
  auto node = tasks_.extract(tasks_.begin());
  return {node.key().first, std::move(node.mapped())};
}

}  // namespace platform
