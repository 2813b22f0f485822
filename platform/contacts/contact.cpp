#include "platform/contacts/contacts.h"

#include <fmt/format.h>

#include <algorithm>

#include "platform/process/process.h"

namespace platform::contacts {

bool CNContact::isKeyAvailable(std::string_view key) const {
  return !keysToFetch_ ||
         std::find(keysToFetch_->begin(), keysToFetch_->end(), key) != keysToFetch_->end();
}

void CNContact::requireKey(std::string_view key) const {
  if (!isKeyAvailable(key)) fatal(fmt::format("CNContact: the property {} was not fetched", key));
}

const std::optional<std::string>& CNContact::givenName() const {
  requireKey(CNContactGivenNameKey);
  return data_.givenName;
}

const std::optional<std::string>& CNContact::familyName() const {
  requireKey(CNContactFamilyNameKey);
  return data_.familyName;
}

const std::vector<CNLabeledValue>& CNContact::phoneNumbers() const {
  requireKey(CNContactPhoneNumbersKey);
  return data_.phoneNumbers;
}

CNContactFetchRequest::CNContactFetchRequest(std::vector<std::string> keysToFetch)
    : keysToFetch_(std::make_shared<const std::vector<std::string>>(std::move(keysToFetch))) {}

}  // namespace platform::contacts
