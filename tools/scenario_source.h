#pragma once
// Where the commands that run a simulated app take their scenario from: a
// file, read whole before the first event, or standard input ("-"), whose
// events run as they are typed, unless the clock is virtual, which has to
// see them all first.
#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "hosts/common/scenario.h"

namespace tools {

using RunScenario = std::function<int(std::istream& in, hosts::scenario::Input input)>;

// Runs the scenario at path with run; gives its exit status, or 2 after
// saying so on standard error when the file cannot be read.
int runScenarioFrom(std::string_view command, const std::string& path, bool virtualTime,
                    const RunScenario& run);

}  // namespace tools
