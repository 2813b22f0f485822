#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace platform {

VirtualMainQueue::~VirtualMainQueue() {
  ProcessScope scope(process_);
  background_.runDueBy(Duration::max());
}

void VirtualMainQueue::async(Task task) { schedule_.add(now_, std::move(task)); }

void VirtualMainQueue::after(Duration delay, Task task) {
  schedule_.add(saturatingAdd(now_, delay), std::move(task));
}

void VirtualMainQueue::runUntil(Duration then) {
  ProcessScope scope(process_);
  while (auto due = schedule_.nextDue()) {
    if (*due > then) break;
    auto next = schedule_.takeNext();
    now_ = std::max(now_, next.due);
    if (next.lane == Lane::Background) {
      background_.run(next.task);
    } else {
      next.task();
    }
  }
  now_ = std::max(now_, then);
}

void VirtualMainQueue::advanceBy(Duration d) { runUntil(saturatingAdd(now_, d)); }

void VirtualMainQueue::runUntilIdle() {
  while (auto due = schedule_.nextDue()) runUntil(*due);
}

void VirtualMainQueue::Background::async(Task task) {
  clock_.schedule_.add(clock_.now_, std::move(task), Lane::Background);
}

void VirtualMainQueue::Background::after(Duration delay, Task task) {
  clock_.schedule_.add(saturatingAdd(clock_.now_, delay), std::move(task), Lane::Background);
}

void VirtualMainQueue::Background::sync(Task task) {
  if (running_) fatal("a background task waits for its own queue");
  ProcessScope scope(clock_.process_);
  runDueBy(clock_.now_);
  run(task);
}

void VirtualMainQueue::Background::run(Task& task) {
  running_ = true;
  task();
  running_ = false;
}

void VirtualMainQueue::Background::runDueBy(Duration then) {
  while (auto next = clock_.schedule_.takeNextOf(Lane::Background, then)) run(next->task);
}

}  // namespace platform
