#pragma once
// The two contact list pages: one link row per address-book contact, each
// showing the contact's state as its icon (blacklisted, own reply on, or
// neither). The reply list opens a contact's reply page, the blacklist opens
// its blacklist page; otherwise the two are the same page.
#include <string_view>

#include "MornaqPrefs/pages/contact_settings_controller.h"
#include "MornaqPrefs/pages/page_chrome.h"
#include "MornaqPrefs/support/ordered_dictionary.h"

namespace mornaqprefs {

class ContactListPage : public PageChrome {
 public:
  // opens: the class name of the page a contact row opens.
  ContactListPage(const platform::Class* cls, std::string_view opens);

  // The pairs of directory (contact key -> display name) in display-name order.
  OrderedDictionary sortedDictionary(const Dictionary& directory) const;
  // The sorted directory of this page class, as its latest scan left it;
  // kept per class, so that the other list page's scan leaves it alone.
  const OrderedDictionary& sortedDirectory() const;

 protected:
  // Scans the address book, then the group "Contacts" and a row per contact.
  Specifiers appSpecifiers() override;
  // The title "N Contacts" instead of a "Save" button.
  void pageWillAppear() override;

 private:
  std::string_view opens_;
};

class MNQContactListController : public ContactListPage {
 public:
  static constexpr std::string_view kClassName = "MNQContactListController";
  explicit MNQContactListController(const platform::Class* cls)
      : ContactListPage(cls, MNQContactSettingsController::kClassName) {}
};

class MNQContactBlackListController : public ContactListPage {
 public:
  static constexpr std::string_view kClassName = "MNQContactBlackListController";
  explicit MNQContactBlackListController(const platform::Class* cls)
      : ContactListPage(cls, MNQContactBSettingsController::kClassName) {}
};

}  // namespace mornaqprefs
