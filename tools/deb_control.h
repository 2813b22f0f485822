#pragma once
// A Debian control file: its first paragraph of "Name: value" fields, a value
// going on over the lines that start with a blank.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

namespace tools::deb {

// The fields by name in lower case ("package"); a value's continuation lines
// follow its first line, each after a "\n".
using ControlFields = std::map<std::string, std::string>;

// A line that is no field is refused (package_refusal.h).
platform::Result<ControlFields> parseControl(std::string_view text);

// The pieces of text between separators ("a//b" has an empty one).
std::vector<std::string_view> split(std::string_view text, char separator);
// The text without blanks at either end.
std::string_view trimmed(std::string_view text);

}  // namespace tools::deb
