#include "platform/contacts/contacts.h"

#include <fmt/format.h>

#include <filesystem>
#include <system_error>

#include "platform/contacts/vcard_reader.h"
#include "platform/foundation/file_io.h"
#include "platform/foundation/log.h"
#include "platform/foundation/text_list.h"
#include "platform/process/process.h"

namespace platform::contacts {
namespace {

// The file whole; a failure when it exists but cannot be read. A missing file
// is an empty address book.
Result<std::string> readAddressBook(const std::filesystem::path& path) {
  auto text = readWholeFile(path);
  if (!text && text.failure().code == std::errc::no_such_file_or_directory) return std::string();
  return text;
}

// Names as the header describes: N gives both, else FN stands as the given name.
void setNames(VCard& card, CNContactData& contact) {
  if (card.name) {
    auto& n = *card.name;
    contact.familyName = n.empty() ? "" : std::move(n[0]);
    contact.givenName = n.size() < 2 ? "" : std::move(n[1]);
  } else {
    contact.givenName = std::move(card.formattedName);
  }
}

// Each card becomes a contact whose record identifier is its UID, or a hash
// of its content when it has none. Identifiers must be unique in a store, so a
// repeated one takes the first free suffix "-2", "-3", ...
class ContactMaker {
 public:
  // Room for this many identifiers at once: a set that grows as it goes
  // places every identifier it holds again each time.
  explicit ContactMaker(std::size_t cards) : taken_(cards) {}

  CNContactData contactOf(VCard& card) {
    std::string record = card.uid ? std::move(*card.uid) : fmt::format("{:016X}", card.contentHash);
    if (!taken_.insert(record)) record = repeated(record);
    record += kIdentifierSuffix;
    CNContactData contact{.identifier = std::move(record)};
    setNames(card, contact);
    contact.phoneNumbers.reserve(card.phones.size());
    for (auto& phone : card.phones) {
      contact.phoneNumbers.push_back(
          {std::move(phone.type), CNPhoneNumber(std::move(phone.number))});
    }
    return contact;
  }

 private:
  // The first free identifier for a card whose record identifier is taken.
  std::string repeated(const std::string& record) {
    for (int n = 2;; ++n) {
      std::string unique = fmt::format("{}-{}", record, n);
      if (taken_.insert(unique)) {
        NSLog(fmt::format("Contacts: the identifier {} is repeated; this card is {}", record,
                          unique));
        return unique;
      }
    }
  }

  TextSet taken_;
};

// About how many cards text holds: its END lines as phones write them. A card
// ended in another spelling only makes the set of identifiers grow as it goes.
std::size_t roughCardCount(std::string_view text) {
  constexpr std::string_view end = "END:VCARD";
  std::size_t cards = 0;
  for (auto at = text.find(end); at != std::string_view::npos;
       at = text.find(end, at + end.size())) {
    ++cards;
  }
  return cards;
}

// Each contact is made and delivered as soon as its card is read, while the card is still in
// the cache.
Result<> deliverContacts(const CNContactFetchRequest& request, const CNContactBlock& block) {
  const auto text = readAddressBook(*Process::current().root().map(kAddressBookPath));
  PLATFORM_TRY(text);
  ContactMaker maker(roughCardCount(*text));
  bool stopped = false;
  return forEachVCard(*text, kAddressBookPath, [&](VCard& card) {
    if (stopped) return;
    const CNContact contact(maker.contactOf(card), request.keysToFetch());
    if (request.predicate() && !request.predicate()(contact)) return;
    block(contact, stopped);
  });
}

}  // namespace

Result<> CNContactStore::enumerateContactsWithFetchRequest(const CNContactFetchRequest& request,
                                                           const CNContactBlock& block) const {
  auto read = deliverContacts(request, block);
  if (!read) NSLog(fmt::format("Contacts: cannot read {}: {}", kAddressBookPath, read.reason()));
  return read;
}

}  // namespace platform::contacts
