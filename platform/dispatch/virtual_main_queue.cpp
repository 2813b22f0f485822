#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace platform {

void VirtualMainQueue::async(Task task) { schedule_.add(now_, std::move(task)); }

void VirtualMainQueue::after(Duration delay, Task task) {
  schedule_.add(saturatingAdd(now_, delay), std::move(task));
}

void VirtualMainQueue::runUntil(Duration then) {
  ProcessScope scope(process_);
  while (auto due = schedule_.nextDue()) {
    if (*due > then) break;
    auto [when, task] = schedule_.takeNext();
    now_ = std::max(now_, when);
    task();
  }
  now_ = std::max(now_, then);
}

void VirtualMainQueue::advanceBy(Duration d) { runUntil(saturatingAdd(now_, d)); }

void VirtualMainQueue::runUntilIdle() {
  while (auto due = schedule_.nextDue()) runUntil(*due);
}

}  // namespace platform
