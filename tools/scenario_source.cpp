#include "tools/scenario_source.h"

#include <fstream>
#include <iostream>

namespace tools {

int runScenarioFrom(std::string_view command, const std::string& path, bool virtualTime,
                    const RunScenario& run) {
  using hosts::scenario::Input;
  if (path == "-") return run(std::cin, virtualTime ? Input::ReadFirst : Input::AsItArrives);
  std::ifstream file(path);
  if (!file) {
    std::cerr << "mornaq " << command << ": cannot read " << path << '\n';
    return 2;
  }
  return run(file, Input::ReadFirst);
}

}  // namespace tools
