#pragma once
// View controllers as the settings pages use them: a controller has a view, a
// navigation item (title and right bar buttons) and the navigation controller
// whose stack holds it; the stack calls the appearance methods in UIKit's
// order as controllers are pushed and popped.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/uikit/bar_button_item.h"
#include "platform/uikit/color.h"
#include "platform/uikit/view.h"

namespace platform::uikit {

class UINavigationController;

class UINavigationItem {
 public:
  const std::optional<std::string>& title() const { return title_; }
  void setTitle(std::optional<std::string> title) { title_ = std::move(title); }

  const std::vector<BarButtonItemRef>& rightBarButtonItems() const { return rightItems_; }
  // setRightBarButtonItem: replaces every right item by this one.
  void setRightBarButtonItem(BarButtonItemRef item) { rightItems_ = {std::move(item)}; }
  void setRightBarButtonItems(std::vector<BarButtonItemRef> items) {
    rightItems_ = std::move(items);
  }

 private:
  std::optional<std::string> title_;
  std::vector<BarButtonItemRef> rightItems_;
};

class UINavigationBar {
 public:
  const OptionalColor& tintColor() const { return tintColor_; }
  // nil: the bar inherits its tint again.
  void setTintColor(OptionalColor color) { tintColor_ = color; }

 private:
  OptionalColor tintColor_;
};

// The C++ side of every instance of the runtime class UIViewController.
class UIViewController : public Object {
 public:
  using Object::Object;

  UINavigationItem& navigationItem() { return navigationItem_; }
  // The navigation controller whose stack holds this controller, or nullptr.
  std::shared_ptr<UINavigationController> navigationController() const {
    return navigationController_.lock();
  }
  // Made on first use, as UIKit loads a view lazily.
  UIView& view();

  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}

 private:
  friend class UINavigationController;
  UINavigationItem navigationItem_;
  std::weak_ptr<UINavigationController> navigationController_;
  std::shared_ptr<UIView> view_;
};

class UINavigationController : public UIViewController {
 public:
  using UIViewController::UIViewController;

  // A new, empty navigation controller of class UINavigationController.
  static std::shared_ptr<UINavigationController> create();

  UINavigationBar& navigationBar() { return navigationBar_; }
  const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return stack_; }
  std::shared_ptr<UIViewController> topViewController() const {
    return stack_.empty() ? nullptr : stack_.back();
  }

  // The controller on top disappears, controller appears on top of it.
  void pushViewController(std::shared_ptr<UIViewController> controller, bool animated);
  // popViewControllerAnimated: the top controller leaves and the one below
  // appears again. The bottom controller never leaves: nullptr then.
  std::shared_ptr<UIViewController> popViewControllerAnimated(bool animated);

 private:
  UINavigationBar navigationBar_;
  std::vector<std::shared_ptr<UIViewController>> stack_;
};

}  // namespace platform::uikit
