#pragma once
// The apps print, besides the lines a person reads, events for programs
// ("switch", "received", "reply"; JSON output only). The transcript tests pin
// the apps' legacy lines, which these events leave as they were.
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace testing_support {

// Whether a JSON output line's event is one of those for programs.
bool isProgramEvent(const nlohmann::json& event);

// JSON lines without the events for programs.
std::string withoutProgramEvents(std::string_view jsonLines);

}  // namespace testing_support
