#pragma once
// CoreGraphics' sizes and rectangles, in points.
namespace platform::uikit {

struct CGSize {
  double width = 0;
  double height = 0;
  bool operator==(const CGSize&) const = default;
};

struct CGRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  bool operator==(const CGRect&) const = default;
};

}  // namespace platform::uikit
