#pragma once
// A command-line option that names a local date and time,
// YYYY-MM-DDTHH:MM:SS in the time zone of the environment (TZ).
#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "platform/foundation/value.h"

namespace tools {

CLI::Option* addDateOption(CLI::App& command, const std::string& name,
                           std::optional<platform::Date>& date, const std::string& description);

}  // namespace tools
