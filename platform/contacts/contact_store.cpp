#include "platform/contacts/contacts.h"

#include <fmt/format.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_set>

#include "platform/contacts/vcard_reader.h"
#include "platform/foundation/log.h"
#include "platform/process/process.h"

namespace platform::contacts {
namespace {

// The file whole; nullopt when it exists but cannot be read. A missing file
// is an empty address book.
std::optional<std::string> readAddressBook(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return std::string();
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return text;
}

// Names as the header describes: N gives both, else FN stands as the given name.
void setNames(const VCard& card, CNContactData& contact) {
  if (card.name) {
    const auto& n = *card.name;
    contact.familyName = n.empty() ? "" : n[0];
    contact.givenName = n.size() < 2 ? "" : n[1];
  } else {
    contact.givenName = card.formattedName;
  }
}

// Each card becomes a contact whose record identifier is its UID, or a hash
// of its content when it has none. Identifiers must be unique in a store, so a
// repeated one takes the first free suffix "-2", "-3", ...
std::vector<CNContactData> contactsOf(std::vector<VCard> cards) {
  std::vector<CNContactData> contacts;
  contacts.reserve(cards.size());
  std::unordered_set<std::string> taken;
  for (auto& card : cards) {
    const std::string record = card.uid ? *card.uid : fmt::format("{:016X}", card.contentHash);
    std::string unique = record;
    for (int n = 2; !taken.insert(unique).second; ++n) unique = fmt::format("{}-{}", record, n);
    if (unique != record) {
      NSLog(
          fmt::format("Contacts: the identifier {} is repeated; this card is {}", record, unique));
    }
    CNContactData contact{.identifier = unique + std::string(kIdentifierSuffix)};
    setNames(card, contact);
    for (auto& phone : card.phones) {
      contact.phoneNumbers.push_back(
          {std::move(phone.type), CNPhoneNumber(std::move(phone.number))});
    }
    contacts.push_back(std::move(contact));
  }
  return contacts;
}

}  // namespace

bool CNContactStore::enumerateContactsWithFetchRequest(const CNContactFetchRequest& request,
                                                       const CNContactBlock& block) const {
  const auto path = Process::current().root().map(kAddressBookPath);
  const auto text = readAddressBook(*path);
  if (!text) {
    NSLog(fmt::format("Contacts: cannot read {}", kAddressBookPath));
    return false;
  }
  for (auto& data : contactsOf(readVCards(*text, kAddressBookPath))) {
    const CNContact contact(std::move(data), request.keysToFetch());
    if (request.predicate() && !request.predicate()(contact)) continue;
    bool stop = false;
    block(contact, stop);
    if (stop) break;
  }
  return true;
}

}  // namespace platform::contacts
