#pragma once
// Case in the ASCII names of vCard properties and parameters.
#include <algorithm>
#include <string_view>

namespace platform::contacts {

constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return asciiUpper(x) == asciiUpper(y);
         });
}

constexpr bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace platform::contacts
