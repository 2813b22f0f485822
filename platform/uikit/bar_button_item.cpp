#include "platform/uikit/bar_button_item.h"

#include "platform/runtime/runtime.h"
#include "platform/uikit/object_factory.h"

namespace platform::uikit {

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::initWithTitle(std::string title,
                                                                UIBarButtonItemStyle style,
                                                                const Id& target,
                                                                std::string action) {
  auto item = makeObject<UIBarButtonItem>("UIBarButtonItem");
  item->title_ = std::move(title);
  item->style_ = style;
  item->target_ = target;
  item->action_ = std::move(action);
  return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::initWithBarButtonSystemItem(
    UIBarButtonSystemItem systemItem, const Id& target, std::string action) {
  auto item = makeObject<UIBarButtonItem>("UIBarButtonItem");
  item->systemItem_ = systemItem;
  item->target_ = target;
  item->action_ = std::move(action);
  return item;
}

void UIBarButtonItem::tap() {
  Id receiver = target_.lock();
  if (action_.ends_with(':')) {
    send<void, Id>(receiver, action_, self());
  } else {
    send<void>(receiver, action_);
  }
}

}  // namespace platform::uikit
