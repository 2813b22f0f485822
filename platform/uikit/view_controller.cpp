#include "platform/uikit/view_controller.h"

#include "platform/uikit/object_factory.h"

namespace platform::uikit {

UIView& UIViewController::view() {
  if (!view_) view_ = UIView::create();
  return *view_;
}

std::shared_ptr<UINavigationController> UINavigationController::create() {
  return makeObject<UINavigationController>("UINavigationController");
}

void UINavigationController::pushViewController(std::shared_ptr<UIViewController> controller,
                                                bool animated) {
  auto previous = topViewController();
  if (previous) previous->viewWillDisappear(animated);
  controller->navigationController_ = std::static_pointer_cast<UINavigationController>(self());
  stack_.push_back(controller);
  controller->viewWillAppear(animated);
  if (previous) previous->viewDidDisappear(animated);
  controller->viewDidAppear(animated);
}

std::shared_ptr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
  if (stack_.size() < 2) return nullptr;
  auto leaving = stack_.back();
  auto revealed = stack_[stack_.size() - 2];
  leaving->viewWillDisappear(animated);
  revealed->viewWillAppear(animated);
  stack_.pop_back();
  leaving->navigationController_.reset();
  leaving->viewDidDisappear(animated);
  revealed->viewDidAppear(animated);
  return leaving;
}

}  // namespace platform::uikit
