#include "tools/phone/event_log.h"

#include <algorithm>

namespace tools::phone {

void EventLog::add(nlohmann::json event) {
  {
    std::lock_guard lock(mutex_);
    event["seq"] = ++last_;
    events_.push_back(
        {last_, event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)});
    if (events_.size() > capacity_) events_.pop_front();
  }
  added_.notify_all();
}

std::vector<NumberedEvent> EventLog::after(std::uint64_t after, std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  added_.wait_for(lock, wait, [&] { return closed_ || last_ > after; });
  if (closed_) return {};
  const auto first = std::find_if(events_.begin(), events_.end(),
                                  [&](const NumberedEvent& event) { return event.seq > after; });
  return {first, events_.end()};
}

void EventLog::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  added_.notify_all();
}

bool EventLog::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace tools::phone
