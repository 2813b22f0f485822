#pragma once
// The messaging app's version strings ("2.20.110.30").
#include <string_view>

namespace hosts::whatsapp {

// Compares part by part as numbers, so 2.20.110 is later than 2.20.99; a
// missing part counts as 0.
bool isAtLeast(std::string_view version, std::string_view minimum);

// Whole numbers separated by single dots.
bool isWellFormedVersion(std::string_view version);

}  // namespace hosts::whatsapp
