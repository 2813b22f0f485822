#include "platform/uikit/view.h"

#include "platform/uikit/image.h"
#include "platform/uikit/object_factory.h"

namespace platform::uikit {

std::shared_ptr<UIView> UIView::create() { return makeObject<UIView>("UIView"); }

void UIView::beginEditing(std::function<void()> finish) {
  endEditing(true);
  finishEditing_ = std::move(finish);
}

bool UIView::endEditing(bool /*force*/) {
  if (!finishEditing_) return false;
  // Cleared before it runs, so that the delivery may start a new edit.
  auto finish = std::move(finishEditing_);
  finishEditing_ = nullptr;
  finish();
  return true;
}

void UIView::animateWithDuration(double /*duration*/, const std::function<void()>& animations) {
  if (animations) animations();
}

std::shared_ptr<UIImageView> UIImageView::initWithImage(std::shared_ptr<UIImage> image) {
  auto view = makeObject<UIImageView>("UIImageView");
  if (image) view->setFrame({0, 0, image->size().width, image->size().height});
  view->image_ = std::move(image);
  return view;
}

}  // namespace platform::uikit
