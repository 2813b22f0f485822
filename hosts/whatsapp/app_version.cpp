#include "hosts/whatsapp/app_version.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

namespace hosts::whatsapp {
namespace {

std::optional<std::vector<std::uint64_t>> parts(std::string_view version) {
  std::vector<std::uint64_t> numbers;
  while (true) {
    std::uint64_t number = 0;
    const auto [end, error] =
        std::from_chars(version.data(), version.data() + version.size(), number);
    if (error != std::errc() || end == version.data()) return std::nullopt;
    numbers.push_back(number);
    version.remove_prefix(end - version.data());
    if (version.empty()) return numbers;
    if (version.front() != '.') return std::nullopt;
    version.remove_prefix(1);
  }
}

}  // namespace

bool isAtLeast(std::string_view version, std::string_view minimum) {
  auto left = parts(version).value_or(std::vector<std::uint64_t>{});
  auto right = parts(minimum).value_or(std::vector<std::uint64_t>{});
  const std::size_t length = std::max(left.size(), right.size());
  left.resize(length);
  right.resize(length);
  return left >= right;
}

bool isWellFormedVersion(std::string_view version) { return parts(version).has_value(); }

}  // namespace hosts::whatsapp
