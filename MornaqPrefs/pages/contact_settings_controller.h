#pragma once
// The two pages of one contact, opened from its row on a contact list: the
// reply page (own reply on or off, reply text and delay, and the link to the
// contact's word-match rules) and the blacklist page. Every value lives in
// the contact's entry of the main settings file, the dictionary under its
// contact key, where the reply engine looks for it.
#include <optional>
#include <string>
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class ContactSettingsPage : public PageChrome {
 public:
  ContactSettingsPage(const platform::Class* cls, std::string_view plist);

  // Takes the contact's display name (the row's title) from the opening row,
  // as the frame takes its contact key (the row's phoneNumber property).
  void setSpecifier(const SpecifierRef& specifier) override;
  // The value in the contact's entry, else the row's default.
  Value readPreferenceValue(const SpecifierRef& specifier) override;
  // Sets the value in the contact's entry, creating the entry when missing;
  // a page opened without a contact key, or with a reserved one, writes
  // nothing.
  void setPreferenceValue(const Value& value, const SpecifierRef& specifier) override;

  const std::string& fullName() const { return fullName_; }
  void setFullName(std::string fullName) { fullName_ = std::move(fullName); }
  // The contact key; despite its name never a phone number. Empty when the
  // page was opened without one.
  const std::string& phoneNumber() const { return settings().owner().text(); }
  void setPhoneNumber(std::string phoneNumber) {
    settings().setOwner(OwnerKey(std::move(phoneNumber)));
  }

 protected:
  // The title is the contact's name, set after "Save" is installed.
  void pageWillAppear() override;
  // For a contact with a reserved key, the footer that says it has no
  // settings of its own.
  Specifiers appSpecifiers() override;

 private:
  std::string fullName_;
};

class MNQContactSettingsController : public ContactSettingsPage {
 public:
  static constexpr std::string_view kClassName = "MNQContactSettingsController";
  explicit MNQContactSettingsController(const platform::Class* cls)
      : ContactSettingsPage(cls, "AppSettings") {}

 protected:
  // The link to this contact's own word-match rules.
  Specifiers appSpecifiers() override;
};

class MNQContactBSettingsController : public ContactSettingsPage {
 public:
  static constexpr std::string_view kClassName = "MNQContactBSettingsController";
  explicit MNQContactBSettingsController(const platform::Class* cls)
      : ContactSettingsPage(cls, "BlackList") {}
};

}  // namespace mornaqprefs
