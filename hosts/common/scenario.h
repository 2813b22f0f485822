#pragma once
// Scenarios: what happens to a simulated app, one JSON object a line, each
// with "at" (seconds since the app started, never decreasing) and one event:
//   {"at":3,"receive":{"text":"hi"}}
// Blank lines and lines starting with # are skipped. Each app names the events
// it understands; a line that is malformed, names an unknown event or goes
// back in time stops the run before any event runs.
#include <functional>
#include <istream>
#include <map>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/foundation/result.h"
#include "platform/process/process.h"

namespace hosts::scenario {

// Both fail with what is wrong, as the run reports it after "line N: ".
using Check = std::function<platform::Result<>(const nlohmann::json& value)>;
using Action = std::function<platform::Result<>(const nlohmann::json& value)>;

// The checks events share.
platform::Result<> expectText(const nlohmann::json& value);
platform::Result<> expectObject(const nlohmann::json& value);
platform::Result<> expectTrue(const nlohmann::json& value);

struct EventKind {
  Check check;        // when the line is read
  Action action;      // when the clock reaches the event
  bool last = false;  // no event may follow it
};

using EventKinds = std::map<std::string, EventKind, std::less<>>;

enum class Input {
  // Every line is read and checked before the first event runs.
  ReadFirst,
  // Each line is checked and scheduled as it arrives (standard input in real
  // time); a bad line stops the run there.
  AsItArrives,
};

// Runs the scenario on the process's main queue. A virtual queue is driven
// until it is idle, taking no real time; a real queue is waited on until the
// input has ended and it is idle. Returns 0, or 2 after writing "line N: what
// is wrong" to err. An event that fails when it runs stops the run: no later
// event runs.
int run(std::istream& in, Input input, platform::Process& process, const EventKinds& kinds,
        std::ostream& err);

}  // namespace hosts::scenario
