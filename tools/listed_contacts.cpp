#include "tools/listed_contacts.h"

#include <map>

#include "MornaqPrefs/contacts/contact_directory.h"
#include "common/contact_key.h"
#include "hosts/common/app_process.h"
#include "platform/contacts/contacts.h"
#include "platform/process/process.h"

namespace tools {
namespace {

// The address-book identifier behind each contact key the pages list: the
// first contact with a phone number that has the key, as the scan keeps it.
std::map<std::string, std::string, std::less<>> identifiersByKey() {
  std::map<std::string, std::string, std::less<>> identifiers;
  // An address book that cannot be read is logged by the store, and the pages list no contact of
  // it either.
  static_cast<void>(platform::contacts::CNContactStore().enumerateContactsWithFetchRequest(
      platform::contacts::CNContactFetchRequest(
          {std::string(platform::contacts::CNContactPhoneNumbersKey)}),
      [&](const auto& contact, bool&) {
        if (contact.phoneNumbers().empty()) return;
        identifiers.try_emplace(mornaq::format::contactKey(contact.identifier()),
                                contact.identifier());
      }));
  return identifiers;
}

}  // namespace

std::vector<ListedContact> listedContacts(const std::filesystem::path& root) {
  platform::Process settingsApp(
      hosts::appProcessOptions("com.apple.Preferences", "Preferences", root, /*virtualTime=*/true));
  platform::ProcessScope scope(settingsApp);
  const auto sorted = mornaqprefs::scanContacts();
  const auto identifiers = identifiersByKey();
  std::vector<ListedContact> contacts;
  for (const auto& key : sorted.allKeys()) {
    contacts.push_back({identifiers.at(key), key, sorted.objectForKey(key).description()});
  }
  return contacts;
}

}  // namespace tools
