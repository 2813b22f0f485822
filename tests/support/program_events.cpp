#include "tests/support/program_events.h"

#include <sstream>

namespace testing_support {

bool isProgramEvent(const nlohmann::json& event) {
  return event.contains("switch") || event.contains("received") || event.contains("reply");
}

std::string withoutProgramEvents(std::string_view jsonLines) {
  std::istringstream lines{std::string(jsonLines)};
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    const auto event = nlohmann::json::parse(line, nullptr, false);
    if (!event.is_discarded() && isProgramEvent(event)) continue;
    kept += line + '\n';
  }
  return kept;
}

}  // namespace testing_support
