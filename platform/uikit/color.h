#pragma once
// UIColor: components as fractions from 0 to 1. A place that takes an
// optional colour treats nil as "inherit the colour from the surroundings".
#include <optional>

namespace platform::uikit {

struct UIColor {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  static UIColor colorWithRed(double red, double green, double blue, double alpha) {
    return {red, green, blue, alpha};
  }
  bool operator==(const UIColor&) const = default;
};

using OptionalColor = std::optional<UIColor>;

}  // namespace platform::uikit
