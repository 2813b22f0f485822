#pragma once
// Runs the simulated home screen through a scenario, printing what it does.
// Besides the events every app knows (hosts/common/common_events.h):
//   {"homeScreen":true}      the home screen comes into view
//   {"activator":"NAME"}     the gesture library sends an event to the
//                            listener registered under NAME
//   {"listeners":true}       the gesture library lists every listener
// Besides what every process prints, each Darwin notification posted
// anywhere in this program prints as {"darwin":NAME}, and each listener
// listed as {"listener":{"name":S,"title":S,"description":S,"icon":B,
// "smallIcon":B}} (title and description null when the listener gives none;
// icon and smallIcon: whether it gave an image).
#include <filesystem>
#include <istream>
#include <ostream>

#include "hosts/common/event_output.h"
#include "hosts/common/scenario.h"

namespace hosts::springboard {

struct RunOptions {
  std::filesystem::path root;  // the device root
  bool virtualTime = false;
  EventOutput::Format format = EventOutput::Format::Readable;
  scenario::Input input = scenario::Input::ReadFirst;
};

// Starts the home screen in a process of its own and runs the scenario;
// gives the exit status (0, or 2 for a scenario that could not run).
int run(const RunOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace hosts::springboard
