#pragma once
// What the apps printed and how they fared, in order, for every page that
// watches: each event gets the next sequence number, a page that connects
// late is given the history kept, and a page that reconnects resumes after
// the last number it saw.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tools::phone {

struct NumberedEvent {
  std::uint64_t seq;
  std::string json;  // the event with its "seq"
};

class EventLog {
 public:
  // Keeps the last `capacity` events.
  explicit EventLog(std::size_t capacity = 20000) : capacity_(capacity) {}

  void add(nlohmann::json event);
  // The events numbered above `after`; waits up to `wait` for one when there
  // is none yet. Empty at the timeout or once closed.
  std::vector<NumberedEvent> after(std::uint64_t after, std::chrono::milliseconds wait);
  // Wakes every waiter for good: the server is stopping.
  void close();
  bool closed() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable added_;
  std::deque<NumberedEvent> events_;
  std::size_t capacity_;
  std::uint64_t last_ = 0;
  bool closed_ = false;
};

}  // namespace tools::phone
