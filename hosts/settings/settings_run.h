#pragma once
// One run of the simulated Settings app in a process of its own: it opens the
// settings bundle's root page and then performs a script of user actions
// (ui_script.h), printing the pages, alerts, opened addresses and log lines.
#include <filesystem>
#include <istream>
#include <ostream>
#include <string>

#include "hosts/common/event_output.h"

namespace hosts::settings {

struct RunOptions {
  std::filesystem::path root;  // the device root
  EventOutput::Format format = EventOutput::Format::Readable;
  std::string bundle = "MornaqPrefs";  // the settings bundle whose page opens first
  // Each line acts as it arrives and a line that fails is reported without
  // ending the run, instead of the script being read and checked first.
  bool live = false;
};

// 0 when the whole script ran; 1 when the bundle could not be opened; 2 after
// writing "line N: reason" to err for a malformed line (before any action
// runs) or for an action that matched nothing on screen (the run stops there).
// Live, every failing line is reported as it happens, the run goes on, and the
// status is 2 if any line failed.
int run(const RunOptions& options, std::istream& script, std::ostream& out, std::ostream& err);

}  // namespace hosts::settings
