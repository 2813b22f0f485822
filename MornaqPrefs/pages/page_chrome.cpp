#include "MornaqPrefs/pages/page_chrome.h"

#include <limits>

#include "platform/preferences/class_registry.h"
#include "platform/uikit/switch_appearance.h"
#include "platform/uikit/uikit.h"

namespace mornaqprefs {

using namespace platform::uikit;

PageChrome::PageChrome(const platform::Class* cls, ChromeStyle style)
    : PSListController(cls),
      style_(style),
      settings_([this](const std::string& why) { showFailedWrite(why); }) {}

void PageChrome::registerActions(platform::Class& cls) {
  platform::preferences::addAction(cls, "save", &PageChrome::save);
}

Specifiers& PageChrome::specifiers() {
  if (!specifiers_) {
    Specifiers rows = loadSpecifiersFromPlistName(style_.plist, self());
    for (auto& row : appSpecifiers()) rows.push_back(std::move(row));
    specifiers_ = std::move(rows);
  }
  return *specifiers_;
}

void PageChrome::setSpecifier(const SpecifierRef& specifier) {
  PSListController::setSpecifier(specifier);
  settings_.setOwner(specifier ? OwnerKey::of(*specifier) : OwnerKey());
}

void PageChrome::viewWillAppear(bool animated) {
  PSListController::viewWillAppear(animated);
  settings_.pageAppeared();
  if (style_.saveButton) {
    navigationItem().setRightBarButtonItem(
        UIBarButtonItem::initWithTitle("Save", UIBarButtonItemStyle::Plain, self(), "save"));
  }
  pageWillAppear();
  if (!style_.tintWhenAppeared) applyTint();
}

void PageChrome::viewDidAppear(bool animated) {
  PSListController::viewDidAppear(animated);
  pageDidAppear();
  if (style_.tintWhenAppeared) applyTint();
}

void PageChrome::viewWillDisappear(bool animated) {
  PSListController::viewWillDisappear(animated);
  UIView::animateWithDuration(std::numeric_limits<double>::infinity(), [this] {
    if (auto* bar = outerNavigationBar()) bar->setTintColor(std::nullopt);
  });
}

void PageChrome::applyTint() {
  UISwitch::appearanceWhenContainedInInstancesOfClass(*isa()).setOnTintColor(style_.tint);
  if (auto* bar = outerNavigationBar()) bar->setTintColor(style_.tint);
}

UINavigationBar* PageChrome::outerNavigationBar() const {
  auto inner = navigationController();
  auto outer = inner ? inner->navigationController() : nullptr;
  return outer ? &outer->navigationBar() : nullptr;
}

Value PageChrome::readPreferenceValue(const SpecifierRef& specifier) {
  return settings_.valueOf(*specifier);
}

void PageChrome::setPreferenceValue(const Value& value, const SpecifierRef& specifier) {
  settings_.setValue(value, *specifier);
}

void PageChrome::showFailedWrite(const std::string& why) {
  if (!style_.saveButton) showNotice({"A change could not be saved.", why});
}

void PageChrome::showNotice(const Notice& notice) {
  auto alert = UIAlertController::alertControllerWithTitle(notice.title, notice.message,
                                                           AlertControllerStyle::Alert);
  alert->addAction({"Ok", AlertActionStyle::Cancel, nullptr});
  presentViewController(self(), alert);
}

void PageChrome::save() {
  view().endEditing(true);
  if (const auto& failedWrite = settings_.failedWrite()) {
    return showNotice({"Setting not saved.", *failedWrite});
  }
  showNotice(savedFault().value_or(Notice{"Setting saved.", ""}));
}

}  // namespace mornaqprefs
