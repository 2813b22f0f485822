#include "tools/date_option.h"

#include "platform/foundation/wall_clock.h"

namespace tools {

CLI::Option* addDateOption(CLI::App& command, const std::string& name,
                           std::optional<platform::Date>& date, const std::string& description) {
  return command
      .add_option_function<std::string>(
          name, [&date](const std::string& text) { date = platform::parseLocalDateTime(text); },
          description)
      ->type_name("YYYY-MM-DDTHH:MM:SS")
      ->check(CLI::Validator(
          [](std::string& text) {
            return platform::parseLocalDateTime(text)
                       ? std::string()
                       : "a local date and time is YYYY-MM-DDTHH:MM:SS";
          },
          "DATE"));
}

}  // namespace tools
