#pragma once
// The Contacts framework, as far as the settings bundle uses it: a store that
// delivers the device's address book contact by contact, in store order, on
// the calling thread.
//
// The address book is the vCard file at kAddressBookPath in the device root,
// as phones and address-book apps export it. A missing file is an empty
// address book; a malformed card is skipped with a log line.
//
// Names: the real framework never answers nil for a name, which leaves no way
// to tell a missing name from an empty one. Here a card that has an N
// property has both names present (an empty component is ""); a card without
// N has no family name, and its FN, when there is one, stands as its given
// name, so that a vCard 4.0 card carrying only FN still has a name.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

namespace platform::contacts {

inline constexpr std::string_view kAddressBookPath =
    "/var/mobile/Library/AddressBook/AddressBook.vcf";

// A contact's identifier is its record identifier followed by this suffix.
inline constexpr std::string_view kIdentifierSuffix = ":ABPerson";

// The keys a fetch request may ask for. The identifier is always fetched.
inline constexpr std::string_view CNContactGivenNameKey = "givenName";
inline constexpr std::string_view CNContactFamilyNameKey = "familyName";
inline constexpr std::string_view CNContactPhoneNumbersKey = "phoneNumbers";

class CNPhoneNumber {
 public:
  explicit CNPhoneNumber(std::string text) : text_(std::move(text)) {}
  // The number as the address book spells it.
  const std::string& stringValue() const { return text_; }

 private:
  std::string text_;
};

struct CNLabeledValue {
  std::optional<std::string> label;  // the card's TYPE, e.g. "cell"; nil when it has none
  CNPhoneNumber value;
};

struct CNContactData {
  std::string identifier;
  std::optional<std::string> givenName = {};
  std::optional<std::string> familyName = {};
  std::vector<CNLabeledValue> phoneNumbers = {};
};

class CNContact {
 public:
  // A contact with every key available.
  explicit CNContact(CNContactData data) : data_(std::move(data)) {}
  // A contact as a fetch for keysToFetch delivers it: reading a property that
  // was not fetched is a programming error, as on the phone.
  CNContact(CNContactData data, std::shared_ptr<const std::vector<std::string>> keysToFetch)
      : data_(std::move(data)), keysToFetch_(std::move(keysToFetch)) {}

  const std::string& identifier() const { return data_.identifier; }
  const std::optional<std::string>& givenName() const;
  const std::optional<std::string>& familyName() const;
  const std::vector<CNLabeledValue>& phoneNumbers() const;

  bool isKeyAvailable(std::string_view key) const;

 private:
  void requireKey(std::string_view key) const;

  CNContactData data_;
  std::shared_ptr<const std::vector<std::string>> keysToFetch_;  // null: every key
};

// Selects contacts; an empty predicate (nil) selects every contact.
using CNPredicate = std::function<bool(const CNContact&)>;

class CNContactFetchRequest {
 public:
  // initWithKeysToFetch:
  explicit CNContactFetchRequest(std::vector<std::string> keysToFetch);
  void setPredicate(CNPredicate predicate) { predicate_ = std::move(predicate); }

  const std::shared_ptr<const std::vector<std::string>>& keysToFetch() const {
    return keysToFetch_;
  }
  const CNPredicate& predicate() const { return predicate_; }

 private:
  std::shared_ptr<const std::vector<std::string>> keysToFetch_;
  CNPredicate predicate_;
};

// The block may set stop to end the enumeration after this contact.
using CNContactBlock = std::function<void(const CNContact& contact, bool& stop)>;

class CNContactStore {
 public:
  // enumerateContactsWithFetchRequest:error:usingBlock: on the current
  // process's address book, read afresh. Calls block once for each selected
  // contact in store order and returns after the last one. Fails, with the
  // reason, when the address book exists but cannot be read, or no card can be
  // read from it (forEachVCard in vcard_reader.h): nothing is delivered then,
  // and the log says "Contacts: cannot read <path>: <reason>".
  Result<> enumerateContactsWithFetchRequest(const CNContactFetchRequest& request,
                                             const CNContactBlock& block) const;
};

}  // namespace platform::contacts
