#include "MornaqPrefs/contacts/contact_directory.h"

#include <fmt/format.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <ranges>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/contact_key.h"
#include "platform/foundation/log.h"
#include "platform/process/process.h"
#include "platform/text/text.h"

namespace mornaqprefs {
namespace {

using platform::contacts::CNContact;

struct DirectoryState {
  platform::Dictionary dOfPerson;
};

// Only blanks and tabs (the phone's whitespace set: no line breaks).
bool isBlank(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (!u_isblank(c)) return false;
  }
  return true;
}

// The display names handed out in one scan. A clashing name takes the first
// free suffix "-2", "-3", ...; as names in use only accumulate, the search
// for a name resumes where its last one ended instead of at 2.
class NamesInUse {
 public:
  std::string claim(std::string name) {
    if (used_.insert(name).second) return name;
    int& next = nextSuffix_.try_emplace(name, 2).first->second;
    for (;; ++next) {
      std::string candidate = fmt::format("{}-{}", name, next);
      if (used_.insert(candidate).second) {
        ++next;
        return candidate;
      }
    }
  }

 private:
  std::unordered_set<std::string> used_;
  std::unordered_map<std::string, int> nextSuffix_;
};

void addContact(const CNContact& contact, platform::Dictionary& directory, NamesInUse& names) {
  if (contact.phoneNumbers().empty()) return;
  std::string key = mornaq::format::contactKey(contact.identifier());
  if (directory.contains(key)) {
    // Two identifiers that differ only in ":ABPerson" would share one entry
    // of settings: the first keeps the row.
    platform::NSLog(fmt::format("[Mornaq] contact key {} is listed already, skipped {}", key,
                                contact.identifier()));
    return;
  }
  directory.emplace(std::move(key), names.claim(displayName(contact)));
}

}  // namespace

const platform::Dictionary& dOfPerson() {
  return platform::Process::current().state<DirectoryState>().dOfPerson;
}

OrderedDictionary scanContacts() {
  namespace contacts = platform::contacts;
  auto& directory = platform::Process::current().state<DirectoryState>().dOfPerson;
  directory.clear();
  NamesInUse names;
  contacts::CNContactFetchRequest request({std::string(contacts::CNContactFamilyNameKey),
                                           std::string(contacts::CNContactGivenNameKey),
                                           std::string(contacts::CNContactPhoneNumbersKey)});
  request.setPredicate(nullptr);
  contacts::CNContactStore().enumerateContactsWithFetchRequest(
      request, [&](const CNContact& contact, bool&) { addContact(contact, directory, names); });
  return sortedDictionary(directory);
}

OrderedDictionary sortedDictionary(const platform::Dictionary& directory) {
  // A collator call per comparison: ICU compares common prefixes fast, and
  // measured against one collation key per name it is as fast or faster.
  const platform::text::NameCollator collator;
  struct Entry {
    std::string name;
    const std::string* key;
    const platform::Value* value;
  };
  std::vector<Entry> entries;
  entries.reserve(directory.size());
  for (const auto& [key, value] : directory) entries.push_back({value.description(), &key, &value});
  std::sort(entries.begin(), entries.end(), [&collator](const Entry& a, const Entry& b) {
    if (const int order = collator.compare(a.name, b.name); order != 0) return order < 0;
    return std::tie(a.name, *a.key) < std::tie(b.name, *b.key);
  });
  OrderedDictionary sorted(entries.size());
  for (const auto& entry : entries) sorted.setObject(*entry.value, *entry.key);
  return sorted;
}

std::string displayName(const CNContact& contact) {
  const auto& given = contact.givenName();
  const auto& family = contact.familyName();
  std::string name = !family ? given.value_or("") : !given ? *family : *given + " " + *family;
  if (!isBlank(name)) return name;
  const auto& phones = contact.phoneNumbers();
  const auto last = std::find_if(phones.rbegin(), phones.rend(), [](const auto& phone) {
    return !phone.value.stringValue().empty();
  });
  return last == phones.rend() ? "" : last->value.stringValue();
}

}  // namespace mornaqprefs
