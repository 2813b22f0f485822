#include "MornaqPrefs/pages/page_frame.h"

#include <fmt/format.h>

#include <limits>

#include "common/settings_format.h"
#include "common/settings_write.h"
#include "platform/foundation/log.h"
#include "platform/preferences/class_registry.h"
#include "platform/uikit/switch_appearance.h"
#include "platform/uikit/uikit.h"

namespace mornaqprefs {
namespace {

using namespace platform::uikit;

// The settings file of a row: its domain's plist in the preferences folder.
std::optional<std::string> settingsPath(const PSSpecifier& row) {
  auto domain = row.propertyForKey("defaults").stringValue();
  if (!domain) return std::nullopt;
  return fmt::format("{}{}.plist", mornaq::format::kPreferencesFolder, *domain);
}

}  // namespace

Value valueOrDefault(const Dictionary* settings, const PSSpecifier& row) {
  auto key = rowKey(row);
  if (settings && key) {
    if (const Value& stored = platform::lookUp(*settings, *key); !stored.isNil()) return stored;
  }
  return row.propertyForKey("default");
}

std::optional<std::string> rowKey(const PSSpecifier& row) {
  return row.propertyForKey("key").stringValue();
}

PageFrame::PageFrame(const platform::Class* cls, FrameStyle style)
    : PSListController(cls), style_(style) {}

void PageFrame::registerActions(platform::Class& cls) {
  platform::preferences::addAction(cls, "save", &PageFrame::save);
}

Specifiers& PageFrame::specifiers() {
  if (!specifiers_) {
    Specifiers rows = loadSpecifiersFromPlistName(style_.plist, self());
    for (auto& row : appSpecifiers()) rows.push_back(std::move(row));
    specifiers_ = std::move(rows);
  }
  return *specifiers_;
}

void PageFrame::viewWillAppear(bool animated) {
  PSListController::viewWillAppear(animated);
  failedWrite_.reset();
  if (style_.saveButton) {
    navigationItem().setRightBarButtonItem(
        UIBarButtonItem::initWithTitle("Save", UIBarButtonItemStyle::Plain, self(), "save"));
  }
  pageWillAppear();
  applyTint();
}

void PageFrame::viewWillDisappear(bool animated) {
  PSListController::viewWillDisappear(animated);
  UIView::animateWithDuration(std::numeric_limits<double>::infinity(), [this] {
    if (auto* bar = outerNavigationBar()) bar->setTintColor(std::nullopt);
  });
}

void PageFrame::applyTint() {
  UISwitch::appearanceWhenContainedInInstancesOfClass(*isa()).setOnTintColor(style_.tint);
  if (auto* bar = outerNavigationBar()) bar->setTintColor(style_.tint);
}

UINavigationBar* PageFrame::outerNavigationBar() const {
  auto inner = navigationController();
  auto outer = inner ? inner->navigationController() : nullptr;
  return outer ? &outer->navigationBar() : nullptr;
}

Value PageFrame::readPreferenceValue(const SpecifierRef& specifier) {
  auto path = settingsPath(*specifier);
  const auto settings = path ? platform::readPlistShared(*path) : nullptr;
  return valueOrDefault(settings.get(), *specifier);
}

void PageFrame::setPreferenceValue(const Value& value, const SpecifierRef& specifier) {
  auto path = settingsPath(*specifier);
  auto key = rowKey(*specifier);
  if (!path || !key) return reportUnwritableRow(*specifier);
  updateSettings(*path, [&](Dictionary& settings) {
    settings.insert_or_assign(*key, value);
    return true;
  });
}

void PageFrame::updateSettings(std::string_view path, const platform::PlistChange& change) {
  // The reason of a failure is logged by the write.
  if (!mornaq::writeSettings(path, change)) {
    writeFailed(fmt::format("A change could not be written to {}.", path));
  }
}

void PageFrame::reportUnwritableRow(const PSSpecifier& row) {
  const std::string why =
      fmt::format("The row \"{}\" names no settings file or key.", platform::orNull(row.name()));
  platform::NSLog(fmt::format("[Mornaq] {}", why));
  writeFailed(why);
}

void PageFrame::writeFailed(std::string why) {
  // Without a "Save" button nothing would ever show the failure: it shows now.
  if (!style_.saveButton) {
    auto alert = UIAlertController::alertControllerWithTitle("A change could not be saved.", why,
                                                             AlertControllerStyle::Alert);
    alert->addAction({"Ok", AlertActionStyle::Cancel, nullptr});
    presentViewController(self(), alert);
  }
  failedWrite_ = std::move(why);
}

void PageFrame::save() {
  view().endEditing(true);
  auto alert = UIAlertController::alertControllerWithTitle(
      failedWrite_ ? "Setting not saved." : "Setting saved.", failedWrite_.value_or(""),
      AlertControllerStyle::Alert);
  alert->addAction({"Ok", AlertActionStyle::Cancel, nullptr});
  presentViewController(self(), alert);
}

}  // namespace mornaqprefs
