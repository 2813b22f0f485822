#pragma once
// What every settings page of the bundle shares: rows from a bundle plist
// (then rows made in code, built once), the accent colour on the page's
// switches and on the navigation bar while the page is shown, the "Save"
// button with its alert, and the generic value access: a row names its
// settings file by domain (`defaults`), its key (`key`) and the value shown
// while the file has none (`default`).
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/plist_file.h"
#include "platform/foundation/value.h"
#include "platform/preferences/list_controller.h"
#include "platform/uikit/color.h"

namespace mornaqprefs {

using platform::Dictionary;
using platform::Id;
using platform::Value;
using platform::preferences::IndexPath;
using platform::preferences::PSSpecifier;
using platform::preferences::SpecifierRef;
using platform::preferences::Specifiers;

inline constexpr platform::uikit::UIColor kAccentColour{0.29, 0.88, 0.64, 1.0};
inline constexpr platform::uikit::UIColor kOtherPackagesColour{0.98, 0.62, 0.15, 1.0};

struct FrameStyle {
  std::string_view plist;  // the bundle plist of the page's rows
  bool saveButton = true;
  platform::uikit::UIColor tint = kAccentColour;
};

// The value a row shows from a settings dictionary: the entry under the
// row's key, else the row's default (nil when it has none).
Value valueOrDefault(const Dictionary* settings, const PSSpecifier& row);
// The row's "key" property.
std::optional<std::string> rowKey(const PSSpecifier& row);

class PageFrame : public platform::preferences::PSListController {
 public:
  PageFrame(const platform::Class* cls, FrameStyle style);

  // Adds the action of the "Save" button to a page class.
  static void registerActions(platform::Class& cls);

  Specifiers& specifiers() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  Value readPreferenceValue(const SpecifierRef& specifier) override;
  void setPreferenceValue(const Value& value, const SpecifierRef& specifier) override;
  // The "Save" button: ends editing, so that a text being typed is written,
  // then confirms, or says that a write since the page appeared failed.
  void save();

 protected:
  // Rows made in code, appended after the plist's when the list is built.
  virtual Specifiers appSpecifiers() { return {}; }
  // The page's own work on will-appear, after "Save" and before the colours.
  virtual void pageWillAppear() {}
  // The page's colour on its switches and on the navigation bar two levels up.
  void applyTint();
  // Every write of a page goes through here: the locked read-modify-write of
  // the file, remembered when it fails so that "Save" does not claim success,
  // and shown at once in an alert on a page without "Save".
  void updateSettings(std::string_view path, const platform::PlistChange& change);
  // A row that names no settings file or key: logged, and failed as a write.
  void reportUnwritableRow(const PSSpecifier& row);

 private:
  void writeFailed(std::string why);

  platform::uikit::UINavigationBar* outerNavigationBar() const;

  FrameStyle style_;
  // Why a write since the page appeared failed, for the "Save" alert.
  std::optional<std::string> failedWrite_;
};

}  // namespace mornaqprefs
