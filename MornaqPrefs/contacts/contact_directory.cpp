#include "MornaqPrefs/contacts/contact_directory.h"

#include <fmt/format.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <ranges>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "common/contact_key.h"
#include "platform/foundation/log.h"
#include "platform/foundation/text_list.h"
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
    if (bytes[i] < 0x80) {  // an ASCII blank is a space or a tab
      if (bytes[i] != ' ' && bytes[i] != '\t') return false;
      ++i;
      continue;
    }
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (!u_isblank(c)) return false;
  }
  return true;
}

// "given family", made in one allocation: a long address book has a name for
// every contact.
std::string joined(const std::string& given, const std::string& family) {
  std::string name;
  name.reserve(given.size() + 1 + family.size());
  return name.append(given).append(1, ' ').append(family);
}

// The display names handed out in one scan. A clashing name takes the first
// free suffix "-2", "-3", ...; as names in use only accumulate, the search
// for a name resumes where its last one ended instead of at 2.
class NamesInUse {
 public:
  explicit NamesInUse(std::size_t names) : used_(names) {}

  // Sets slot, a value in the directory, to name made unique.
  void claim(std::string_view name, platform::Value& slot) {
    if (used_.insert(name)) {
      slot = platform::Value(name);
      return;
    }
    int& next = nextSuffix_.try_emplace(std::string(name), 2).first->second;
    std::string unique;
    do {
      unique = fmt::format("{}-{}", name, next++);
    } while (!used_.insert(unique));
    slot = platform::Value(std::move(unique));
  }

 private:
  platform::TextSet used_;
  std::unordered_map<std::string, int> nextSuffix_;
};

// The contacts of a scan as they are read, in file order: each one's key,
// listed once, and its display name, not yet made unique. The directory is
// built from them once the address book is read.
struct Listing {
  platform::TextSet keys;
  platform::TextList names;
};

void list(const CNContact& contact, Listing& listing) {
  if (contact.phoneNumbers().empty()) return;
  const std::string key = mornaq::format::contactKey(contact.identifier());
  if (!listing.keys.insert(key)) {
    // Two identifiers that differ only in ":ABPerson" would share one entry
    // of settings: the first keeps the row.
    platform::NSLog(fmt::format("[Mornaq] contact key {} is listed already, skipped {}", key,
                                contact.identifier()));
    return;
  }
  listing.names.push_back(displayName(contact));
}

}  // namespace

const platform::Dictionary& dOfPerson() {
  return platform::Process::current().state<DirectoryState>().dOfPerson;
}

OrderedDictionary scanContacts() {
  namespace contacts = platform::contacts;
  auto& directory = platform::Process::current().state<DirectoryState>().dOfPerson;
  directory.clear();
  Listing listing;
  contacts::CNContactFetchRequest request({std::string(contacts::CNContactFamilyNameKey),
                                           std::string(contacts::CNContactGivenNameKey),
                                           std::string(contacts::CNContactPhoneNumbersKey)});
  request.setPredicate(nullptr);
  // An address book that cannot be read is logged by the store and lists no contact, as one the
  // Settings app may not read.
  static_cast<void>(contacts::CNContactStore().enumerateContactsWithFetchRequest(
      request, [&](const CNContact& contact, bool&) { list(contact, listing); }));
  // The names are made unique in file order once every contact is listed,
  // when their number is known.
  NamesInUse names(listing.keys.size());
  for (std::size_t i = 0; i < listing.keys.size(); ++i) {
    names.claim(listing.names[i], directory[std::string(listing.keys[i])]);
  }
  return sortedDictionary(directory);
}

namespace {

// A name's place in the sort: its collation key, whose byte order is the
// collator's order, with the first 16 bytes held as two numbers so that most
// comparisons touch no other memory; the rest of the key is in the buffer
// that holds every name's key.
struct SortEntry {
  std::uint64_t head[2];
  std::size_t restStart;
  std::size_t restEnd;
  std::string_view name;
  const std::string* key;
  const platform::Value* value;
};

std::uint64_t bigEndian(std::string_view bytes) {
  std::uint64_t number = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    number = number << 8 | (i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
  }
  return number;
}

}  // namespace

OrderedDictionary sortedDictionary(const platform::Dictionary& directory) {
  // Collation keys computed once per name: a collator call per comparison
  // does the collator's work again some 17 times per name at 100,000 names.
  const platform::text::NameCollator collator;
  std::deque<std::string> descriptions;  // the names of values that are not strings
  std::string keys;                      // every name's collation key, one after another
  std::vector<SortEntry> entries;
  entries.reserve(directory.size());
  for (const auto& [key, value] : directory) {
    const std::string* text = value.string();
    const std::string_view name = text ? *text : descriptions.emplace_back(value.description());
    const std::size_t start = keys.size();
    collator.appendSortKey(name, keys);
    const std::string_view whole = std::string_view(keys).substr(start);
    entries.push_back(
        {{bigEndian(whole.substr(0, 8)), bigEndian(whole.size() > 8 ? whole.substr(8) : "")},
         start + std::min<std::size_t>(whole.size(), 16),
         keys.size(),
         name,
         &key,
         &value});
  }
  const auto tailOf = [&keys](const SortEntry& entry) {
    return std::string_view(keys).substr(entry.restStart, entry.restEnd - entry.restStart);
  };
  std::sort(entries.begin(), entries.end(), [&tailOf](const SortEntry& a, const SortEntry& b) {
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    // One three-way comparison per part: "<" on tuples compares each part twice.
    return (std::tuple(tailOf(a), a.name, std::string_view(*a.key)) <=>
            std::tuple(tailOf(b), b.name, std::string_view(*b.key))) < 0;
  });
  OrderedDictionary sorted(entries.size());
  for (const auto& entry : entries) sorted.setObject(*entry.value, *entry.key);
  return sorted;
}

std::string displayName(const CNContact& contact) {
  const auto& given = contact.givenName();
  const auto& family = contact.familyName();
  std::string name = !family ? given.value_or("") : !given ? *family : joined(*given, *family);
  if (!isBlank(name)) return name;
  const auto& phones = contact.phoneNumbers();
  const auto last = std::find_if(phones.rbegin(), phones.rend(), [](const auto& phone) {
    return !phone.value.stringValue().empty();
  });
  return last == phones.rend() ? "" : last->value.stringValue();
}

}  // namespace mornaqprefs
