#include "hosts/common/scenario.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <fmt/format.h>

#include "platform/dispatch/main_queue.h"

namespace hosts::scenario {
namespace {

using platform::Duration;
using platform::Failure;

struct Event {
  int line = 0;
  Duration at{0};
  const EventKind* kind = nullptr;
  nlohmann::json value;
};

// What stops a run, and the line that says so.
struct LineFailure {
  int line = 0;
  std::string what;
};

bool isSkipped(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  return first == std::string::npos || text[first] == '#';
}

Duration sinceStart(double seconds) {
  const std::chrono::duration<double> time(seconds);
  if (time >= std::chrono::duration<double>(Duration::max())) return Duration::max();
  return std::chrono::duration_cast<Duration>(time);
}

// Reads a scenario one event at a time, checking each line as it comes.
class LineReader {
 public:
  LineReader(std::istream& in, const EventKinds& kinds) : in_(in), kinds_(kinds) {}

  // The next event; none at the end of the input or at a bad line, which
  // failure() then names.
  std::optional<Event> next() {
    std::string text;
    while (std::getline(in_, text)) {
      ++lineNumber_;
      if (isSkipped(text)) continue;
      auto parsed = parse(text);
      if (!parsed) {
        failure_ = LineFailure{lineNumber_, parsed.reason()};
        return std::nullopt;
      }
      return std::move(*parsed);
    }
    return std::nullopt;
  }

  const std::optional<LineFailure>& failure() const { return failure_; }

 private:
  platform::Result<Event> parse(const std::string& text) {
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded()) return Failure{"not valid JSON"};
    if (!json.is_object()) return Failure{"not a JSON object"};
    if (!lastKind_.empty()) return Failure{fmt::format("no event may follow \"{}\"", lastKind_)};
    const auto at = json.find("at");
    if (at == json.end() || !at->is_number()) {
      return Failure{"\"at\" must be a number of seconds"};
    }
    const double seconds = at->get<double>();
    if (seconds < 0) return Failure{"\"at\" must not be negative"};
    if (seconds < lastAt_) {
      return Failure{fmt::format("\"at\" goes back in time, from {} to {}", lastAt_, seconds)};
    }
    if (json.size() != 2) return Failure{"a line holds \"at\" and exactly one event"};
    const auto member = std::find_if(json.items().begin(), json.items().end(),
                                     [](const auto& item) { return item.key() != "at"; });
    const auto kind = kinds_.find(member.key());
    if (kind == kinds_.end()) return Failure{fmt::format("unknown event \"{}\"", member.key())};
    if (auto checked = kind->second.check(member.value()); !checked) {
      return Failure{fmt::format("\"{}\": {}", member.key(), checked.reason())};
    }
    if (kind->second.last) lastKind_ = member.key();
    lastAt_ = seconds;
    return Event{lineNumber_, sinceStart(seconds), &kind->second, member.value()};
  }

  std::istream& in_;
  const EventKinds& kinds_;
  int lineNumber_ = 0;
  double lastAt_ = 0;
  std::string lastKind_;  // set once an event that must come last was read
  std::optional<LineFailure> failure_;
};

// Shared by the thread that reads the input and the queue that runs events.
class Run {
 public:
  explicit Run(std::ostream& err) : err_(err) {}

  void runEvent(const Event& event) {
    if (failed()) return;
    if (auto done = event.kind->action(event.value); !done) fail({event.line, done.reason()});
  }

  void fail(const LineFailure& failure) {
    std::lock_guard lock(mutex_);
    failed_ = true;
    err_ << fmt::format("line {}: {}\n", failure.line, failure.what) << std::flush;
  }

  bool failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
  }

 private:
  mutable std::mutex mutex_;
  std::ostream& err_;
  bool failed_ = false;
};

void drive(platform::MainQueue& queue, const Run& run) {
  if (auto* virtualQueue = dynamic_cast<platform::VirtualMainQueue*>(&queue)) {
    while (!run.failed() && !virtualQueue->idle()) virtualQueue->runUntil(*virtualQueue->nextDue());
  } else {
    // Real time cannot take back the tasks already running or waiting.
    static_cast<platform::RealMainQueue&>(queue).waitUntilIdle();
  }
}

}  // namespace

platform::Result<> expectText(const nlohmann::json& value) {
  if (value.is_string()) return {};
  return Failure{"expects a text"};
}

platform::Result<> expectObject(const nlohmann::json& value) {
  if (value.is_object()) return {};
  return Failure{"expects an object"};
}

platform::Result<> expectTrue(const nlohmann::json& value) {
  if (value == true) return {};
  return Failure{"expects true"};
}

int run(std::istream& in, Input input, platform::Process& process, const EventKinds& kinds,
        std::ostream& err) {
  auto& queue = process.mainQueue();
  auto state = std::make_shared<Run>(err);
  const auto schedule = [&](Event event) {
    queue.after(event.at - queue.now(),
                [state, event = std::move(event)] { state->runEvent(event); });
  };

  LineReader reader(in, kinds);
  if (input == Input::ReadFirst) {
    std::vector<Event> events;
    while (auto event = reader.next()) events.push_back(std::move(*event));
    if (reader.failure()) {
      state->fail(*reader.failure());
      return 2;
    }
    for (auto& event : events) schedule(std::move(event));
  } else {
    while (auto event = reader.next()) schedule(std::move(*event));
    if (reader.failure()) state->fail(*reader.failure());
  }
  drive(queue, *state);
  return state->failed() ? 2 : 0;
}

}  // namespace hosts::scenario
