#include "MornaqPrefs/pages/contact_settings_controller.h"

#include <fmt/format.h>

#include "MornaqPrefs/pages/link_rows.h"
#include "MornaqPrefs/pages/wm_list_controller.h"
#include "common/settings_format.h"
#include "platform/foundation/log.h"

namespace mornaqprefs {

namespace format = mornaq::format;

ContactSettingsPage::ContactSettingsPage(const platform::Class* cls, std::string_view plist)
    : PageChrome(cls, {.plist = plist}) {}

void ContactSettingsPage::setSpecifier(const SpecifierRef& specifier) {
  PageChrome::setSpecifier(specifier);
  fullName_ = specifier->name().value_or("");
}

void ContactSettingsPage::pageWillAppear() { navigationItem().setTitle(fullName_); }

Specifiers ContactSettingsPage::appSpecifiers() {
  const OwnerKey& contact = settings().owner();
  if (contact && !contact.contactEntry()) return {noOwnSettingsFooter()};
  return {};
}

// Both directions use the main settings file itself rather than the file the
// row's domain names: the rows name that domain anyway, and a row that named
// another could otherwise show one file while changing the other.
Value ContactSettingsPage::readPreferenceValue(const SpecifierRef& specifier) {
  const auto file = platform::readPlistShared(format::kMainSettingsPath);
  const std::string* contact = settings().owner().contactEntry();
  const Dictionary* entry = contact ? platform::lookUp(*file, *contact).dictionary() : nullptr;
  return valueOrDefault(entry, *specifier);
}

void ContactSettingsPage::setPreferenceValue(const Value& value, const SpecifierRef& specifier) {
  auto key = rowKey(*specifier);
  if (!key) return settings().refuse(*specifier);
  if (!settings().owner()) {
    // Without a contact key there is no entry to keep the value in, and
    // anywhere else it would belong to the wrong owner.
    platform::NSLog(fmt::format("[Mornaq] not saving {}: this page has no contact", *key));
    return;
  }
  const std::string* contact = settings().owner().contactEntry();
  if (!contact) {
    // Its entry would take the place of a setting of the whole add-on.
    platform::NSLog(
        fmt::format("[Mornaq] not saving {}: this contact cannot have settings of its own", *key));
    return;
  }
  settings().update(format::kMainSettingsPath, [&](Dictionary& file) {
    Value& entry = file[*contact];
    // Anything but a dictionary there cannot hold the contact's keys.
    if (!entry.dictionary()) entry = Dictionary{};
    entry.dictionary()->insert_or_assign(*key, value);
    return true;
  });
}

Specifiers MNQContactSettingsController::appSpecifiers() {
  const std::string* contact = settings().owner().contactEntry();
  Specifiers rows{MNQWMListController::multipleWordMatchingRow(
      self(), contact ? OwnerKey(*contact) : OwnerKey())};
  for (auto& row : ContactSettingsPage::appSpecifiers()) rows.push_back(std::move(row));
  return rows;
}

}  // namespace mornaqprefs
