#pragma once
// The PSHeaderFooterView protocol: a group's header view that a bundle names
// in the group's headerCellClass. The framework makes the view, inits it with
// the group's row, asks its height for the table's width and then sets its
// frame. A class adopting it is also a uikit::UIView.
#include "platform/preferences/specifier.h"

namespace platform::preferences {

class PSHeaderFooterView {
 public:
  virtual ~PSHeaderFooterView() = default;
  virtual void initWithSpecifier(const SpecifierRef& specifier) = 0;
  virtual double preferredHeightForWidth(double width) = 0;
};

}  // namespace platform::preferences
