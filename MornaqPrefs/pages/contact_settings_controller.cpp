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

const std::string* ContactSettingsPage::ownKey() const {
  if (!phoneNumber_ || format::isReservedContactKey(*phoneNumber_)) return nullptr;
  return &*phoneNumber_;
}

Specifiers ContactSettingsPage::appSpecifiers() {
  if (phoneNumber_ && !ownKey()) return {noOwnSettingsFooter()};
  return {};
}

// Both directions use the main settings file itself rather than the file the
// row's domain names: the rows name that domain anyway, and a row that named
// another could otherwise show one file while changing the other.
Value ContactSettingsPage::readPreferenceValue(const SpecifierRef& specifier) {
  const auto settings = platform::readPlistShared(format::kMainSettingsPath);
  const Dictionary* entry =
      ownKey() ? platform::lookUp(*settings, *ownKey()).dictionary() : nullptr;
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
  if (!ownKey()) {
    // Its entry would take the place of a setting of the whole add-on.
    platform::NSLog(
        fmt::format("[Mornaq] not saving {}: this contact cannot have settings of its own", *key));
    return;
  }
  updateSettings(format::kMainSettingsPath, [&](Dictionary& settings) {
    Value& entry = settings[*ownKey()];
    // Anything but a dictionary there cannot hold the contact's keys.
    if (!entry.dictionary()) entry = Dictionary{};
    entry.dictionary()->insert_or_assign(*key, value);
    return true;
  });
}

Specifiers MNQContactSettingsController::appSpecifiers() {
  const std::string* key = ownKey();
  Specifiers rows{MNQWMListController::multipleWordMatchingRow(
      self(), key ? std::optional<std::string_view>(*key) : std::nullopt)};
  for (auto& row : ContactSettingsPage::appSpecifiers()) rows.push_back(std::move(row));
  return rows;
}

}  // namespace mornaqprefs
