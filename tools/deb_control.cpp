#include "tools/deb_control.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>

#include "tools/package_refusal.h"

namespace tools::deb {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    pieces.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return pieces;
    start = end + 1;
  }
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

platform::Result<ControlFields> parseControl(std::string_view text) {
  ControlFields fields;
  std::string* value = nullptr;
  for (const std::string_view line : split(text, '\n')) {
    if (trimmed(line).empty()) {
      if (!fields.empty()) break;
      continue;
    }
    if (line.front() == ' ' || line.front() == '\t') {
      if (!value) return refusal("its control file starts with a continuation line");
      (*value += '\n') += trimmed(line);
      continue;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      return refusal(fmt::format("its control file has a line that is no field: {}", line));
    }
    std::string name(line.substr(0, colon));
    std::ranges::transform(name, name.begin(), [](unsigned char c) { return std::tolower(c); });
    value = &(fields[name] = std::string(trimmed(line.substr(colon + 1))));
  }
  return fields;
}

}  // namespace tools::deb
