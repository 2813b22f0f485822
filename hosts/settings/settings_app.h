#pragma once
// The simulated Settings app: its own list of add-on entries (found by the
// preference loader), a navigation stack of settings pages, and the user's
// actions on the page on screen: taps, switch and text changes, typing, bar
// buttons, swipes, alerts and going back. Each action fails with why it did
// nothing when it matched nothing on screen.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"
#include "platform/foundation/value.h"
#include "platform/preferences/list_controller.h"
#include "platform/uikit/view_controller.h"

namespace hosts::settings {

using platform::preferences::PSListController;
using platform::preferences::SpecifierRef;

// The table width of an iPhone held upright, in points.
inline constexpr double kTableWidth = 375;

class SettingsApp {
 public:
  // Starts in the current process: registers the UIKit and Preferences
  // classes, loads the bundles of the add-ons' entries and shows the list of
  // entries. The pages sit in a navigation controller that itself sits in the
  // app's outer one, as in the Settings app.
  SettingsApp();

  // Opens the page of the entry whose bundle is bundleName, as a tap on its
  // row in the list of entries does.
  platform::Result<> openBundle(std::string_view bundleName);

  // The page on screen.
  PSListController& page() const;
  std::shared_ptr<PSListController> pageRef() const;
  // The bar of the outer navigation controller, which pages tint.
  platform::uikit::UINavigationBar& outerNavigationBar() { return outer_->navigationBar(); }

  // A tap on the row with that title, or on the row that opens that class.
  platform::Result<> tapRowLabelled(std::string_view label);
  platform::Result<> tapRowOpening(std::string_view className);
  // A switch (boolean), text (string) or choice row (one of the values it
  // offers) with that key changes its value; the page gets it at once.
  platform::Result<> setValue(std::string_view key, const platform::Value& value);
  // Typing into the text row with that key, without finishing.
  platform::Result<> typeText(std::string_view key, std::string text);
  // A navigation bar button: by title, or "add" and "trash" for those system items.
  platform::Result<> tapBarButton(std::string_view name);
  // Typing into the text fields of the alert on screen, in order.
  platform::Result<> fillAlertFields(const std::vector<std::string>& texts);
  platform::Result<> tapAlertButton(std::string_view title);
  platform::Result<> swipeToDelete(std::string_view label);
  // Leaves the page on screen for the one below it.
  platform::Result<> goBack();

 private:
  platform::Result<> tapRow(const SpecifierRef& row);
  // Pages cannot be used while an alert covers them.
  platform::Result<> pageUncovered() const;

  std::shared_ptr<platform::uikit::UINavigationController> outer_;
  std::shared_ptr<platform::uikit::UINavigationController> pages_;
};

// "add" and "trash" for the system items, else the button's title.
std::string barButtonName(const platform::uikit::UIBarButtonItem& item);

}  // namespace hosts::settings
