#pragma once
// UIBarButtonItem: a titled or system button of a navigation bar. A tap sends
// its action to its target, as UIKit does; the target is not retained.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

namespace platform::uikit {

enum class UIBarButtonItemStyle : std::int64_t { Plain = 0 };
enum class UIBarButtonSystemItem : std::int64_t { Add = 4, Trash = 16 };

class UIBarButtonItem : public Object {
 public:
  using Object::Object;

  // initWithTitle:style:target:action:
  static std::shared_ptr<UIBarButtonItem> initWithTitle(std::string title,
                                                        UIBarButtonItemStyle style,
                                                        const Id& target, std::string action);
  // initWithBarButtonSystemItem:target:action:
  static std::shared_ptr<UIBarButtonItem> initWithBarButtonSystemItem(
      UIBarButtonSystemItem systemItem, const Id& target, std::string action);

  const std::optional<std::string>& title() const { return title_; }
  std::optional<UIBarButtonSystemItem> systemItem() const { return systemItem_; }
  UIBarButtonItemStyle style() const { return style_; }
  Id target() const { return target_.lock(); }
  const std::string& action() const { return action_; }

  // The user taps the button: action is sent to the target, with the button
  // as sender when the selector takes one ("save" or "addNewStatement:").
  void tap();

 private:
  std::optional<std::string> title_;
  std::optional<UIBarButtonSystemItem> systemItem_;
  UIBarButtonItemStyle style_ = UIBarButtonItemStyle::Plain;
  std::weak_ptr<Object> target_;
  std::string action_;
};

using BarButtonItemRef = std::shared_ptr<UIBarButtonItem>;

}  // namespace platform::uikit
