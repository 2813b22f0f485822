#pragma once
// UIView and the views the settings pages use: an image view and the header
// or footer view of a table section. Nothing is drawn; a view keeps its frame
// and subviews so that layout can be checked.
#include <functional>
#include <memory>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/uikit/geometry.h"

namespace platform::uikit {

class UIImage;

class UIView : public Object {
 public:
  using Object::Object;

  // A plain view of class UIView.
  static std::shared_ptr<UIView> create();

  const CGRect& frame() const { return frame_; }
  virtual void setFrame(const CGRect& frame) { frame_ = frame; }

  void addSubview(std::shared_ptr<UIView> view) { subviews_.push_back(std::move(view)); }
  const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }

  // A text field inside this view becomes the one being edited; finish ends
  // its editing (the field then delivers its text). A field that was being
  // edited before gives up editing first, as the first responder does.
  void beginEditing(std::function<void()> finish);
  bool isEditing() const { return static_cast<bool>(finishEditing_); }
  // endEditing: the field being edited, if any, gives up editing. The field
  // always agrees to, so force changes nothing here. True when one did.
  bool endEditing(bool force);

  // animateWithDuration:animations:. Nothing is drawn here, so the views
  // reach the animation's end state at once, whatever the duration.
  static void animateWithDuration(double duration, const std::function<void()>& animations);

 private:
  CGRect frame_;
  std::vector<std::shared_ptr<UIView>> subviews_;
  std::function<void()> finishEditing_;
};

class UIImageView : public UIView {
 public:
  using UIView::UIView;
  // initWithImage: a view of class UIImageView showing image (may be nil).
  static std::shared_ptr<UIImageView> initWithImage(std::shared_ptr<UIImage> image);
  const std::shared_ptr<UIImage>& image() const { return image_; }

 private:
  std::shared_ptr<UIImage> image_;
};

// The base of a table section's header view.
class UITableViewHeaderFooterView : public UIView {
 public:
  using UIView::UIView;
};

}  // namespace platform::uikit
