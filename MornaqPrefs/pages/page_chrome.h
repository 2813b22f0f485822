#pragma once
// What every settings page shows alike: rows from a bundle plist (then rows made in code, built
// once), the accent colour on the page's switches and on the navigation bar while the page is
// shown, the "Save" button with its alert, and the alert that tells of a failed write at once on
// a page without "Save". The page's settings are its store (settings_store.h): the chrome hands
// it the owner key of the row that opened the page and clears its failed write each time the
// page appears, and every value a row shows or changes goes through it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "MornaqPrefs/pages/settings_store.h"
#include "platform/preferences/list_controller.h"
#include "platform/uikit/color.h"

namespace mornaqprefs {

using platform::Id;
using platform::preferences::IndexPath;
using platform::preferences::SpecifierRef;
using platform::preferences::Specifiers;

inline constexpr platform::uikit::UIColor kAccentColour{0.29, 0.88, 0.64, 1.0};
inline constexpr platform::uikit::UIColor kOtherPackagesColour{0.98, 0.62, 0.15, 1.0};

struct ChromeStyle {
  std::string_view plist;  // the bundle plist of the page's rows
  bool saveButton = true;
  platform::uikit::UIColor tint = kAccentColour;
  // The colours come once the page has appeared, after its own bar buttons, rather than as it
  // is about to appear.
  bool tintWhenAppeared = false;
};

class PageChrome : public platform::preferences::PSListController {
 public:
  PageChrome(const platform::Class* cls, ChromeStyle style);

  // Adds the action of the "Save" button to a page class.
  static void registerActions(platform::Class& cls);

  Specifiers& specifiers() override;
  // Takes the owner key from the opening row.
  void setSpecifier(const SpecifierRef& specifier) override;
  void viewWillAppear(bool animated) override;
  void viewDidAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  Value readPreferenceValue(const SpecifierRef& specifier) override;
  void setPreferenceValue(const Value& value, const SpecifierRef& specifier) override;
  // The "Save" button: ends editing, so that a text being typed is written,
  // then confirms, or says that a write since the page appeared failed, or
  // names the page's fault.
  void save();

 protected:
  // Rows made in code, appended after the plist's when the list is built.
  virtual Specifiers appSpecifiers() { return {}; }
  // The page's own work on will-appear, after "Save" and before the colours.
  virtual void pageWillAppear() {}
  // The page's own work on did-appear, before colours that come then.
  virtual void pageDidAppear() {}

  // An alert with one "Ok" button: what a page tells the person of its settings.
  struct Notice {
    std::string title;
    std::string message;
  };
  void showNotice(const Notice& notice);
  // A fault of what the page holds that "Save" tells of instead of "Setting saved.", once every
  // write has succeeded.
  virtual std::optional<Notice> savedFault() { return std::nullopt; }

  SettingsStore& settings() { return settings_; }
  const SettingsStore& settings() const { return settings_; }

  // An alert button's handler that acts on this page, of class Page, if the page is still there
  // when the button is tapped: the alert holds it only weakly, as it may be gone by then.
  template <class Page>
  std::function<void()> onThisPage(std::function<void(Page&)> action) {
    return [page = weak_from_this(), action = std::move(action)] {
      if (auto self = page.lock()) action(platform::as<Page>(self));
    };
  }

 private:
  void applyTint();
  // Without a "Save" button nothing would ever show a failed write: it shows at once.
  void showFailedWrite(const std::string& why);
  platform::uikit::UINavigationBar* outerNavigationBar() const;

  ChromeStyle style_;
  SettingsStore settings_;
};

}  // namespace mornaqprefs
