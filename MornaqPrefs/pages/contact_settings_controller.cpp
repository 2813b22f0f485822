#include "MornaqPrefs/pages/contact_settings_controller.h"

#include <fmt/format.h>

#include "MornaqPrefs/pages/link_rows.h"
#include "MornaqPrefs/pages/wm_list_controller.h"
#include "common/settings_format.h"
#include "platform/foundation/log.h"

namespace mornaqprefs {

namespace format = mornaq::format;

ContactSettingsPage::ContactSettingsPage(const platform::Class* cls, std::string_view plist)
    : PageFrame(cls, {.plist = plist}) {}

void ContactSettingsPage::setSpecifier(const SpecifierRef& specifier) {
  PageFrame::setSpecifier(specifier);
  fullName_ = specifier->name().value_or("");
  phoneNumber_ = specifier->propertyForKey(kPhoneNumber).stringValue();
}

void ContactSettingsPage::pageWillAppear() { navigationItem().setTitle(fullName_); }

// Both directions use the main settings file itself rather than the file the
// row's domain names: the rows name that domain anyway, and a row that named
// another could otherwise show one file while changing the other.
Value ContactSettingsPage::readPreferenceValue(const SpecifierRef& specifier) {
  const Dictionary settings = platform::readPlist(format::kMainSettingsPath);
  const Dictionary* entry =
      phoneNumber_ ? platform::lookUp(settings, *phoneNumber_).dictionary() : nullptr;
  return valueOrDefault(entry, *specifier);
}

void ContactSettingsPage::setPreferenceValue(const Value& value, const SpecifierRef& specifier) {
  auto key = rowKey(*specifier);
  // The frame refuses, and reports, a row without a key.
  if (!key) return PageFrame::setPreferenceValue(value, specifier);
  if (!phoneNumber_) {
    // Without a contact key there is no entry to keep the value in, and
    // anywhere else it would belong to the wrong owner.
    platform::NSLog(fmt::format("[Mornaq] not saving {}: this page has no contact", *key));
    return;
  }
  updateSettings(format::kMainSettingsPath, [&](Dictionary& settings) {
    Value& entry = settings[*phoneNumber_];
    // Anything but a dictionary there cannot hold the contact's keys.
    if (!entry.dictionary()) entry = Dictionary{};
    entry.dictionary()->insert_or_assign(*key, value);
    return true;
  });
}

Specifiers MNQContactSettingsController::appSpecifiers() {
  return {MNQWMListController::multipleWordMatchingRow(self(), phoneNumber().value_or(""))};
}

}  // namespace mornaqprefs
