#pragma once
// Runs the simulated messaging app through a scenario, printing what it does.
// Besides the events every app knows (hosts/common/common_events.h):
//   {"receive":{"text":S,"chat":CHAT}}  a message arrives ("text" or "chat"
//                                       absent or null: a message without it)
//   {"send":{"text":S,"chat":CHAT}}     the user sends a message (printed as userSent)
//   {"openChat":CHAT}                   a chat screen loads
//   {"terminate":true}                  the app is about to terminate; last
// (formats in hosts/whatsapp/received_message.h).
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "hosts/common/event_output.h"
#include "hosts/common/scenario.h"
#include "hosts/whatsapp/whatsapp_app.h"

namespace hosts::whatsapp {

struct RunOptions {
  std::filesystem::path root;  // the device root
  std::string version = kDefaultVersion;
  bool virtualTime = false;
  EventOutput::Format format = EventOutput::Format::Readable;
  scenario::Input input = scenario::Input::ReadFirst;
  // Also print, for every received message whose road through the add-on
  // ends, why it got its reply or none: {"t":T,"why":{...}}.
  bool why = false;
  std::optional<platform::Date> start = std::nullopt;  // a virtual clock's date; none: now
  std::uint64_t seed = 0;                              // a virtual clock's random numbers
};

// Starts the app in a process of its own and runs the scenario; gives the
// exit status (0, or 2 for a scenario that could not run).
int run(const RunOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace hosts::whatsapp
