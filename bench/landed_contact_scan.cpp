// The contact list's scan as it was before its speed-up, kept to measure
// against: the vCard reader that copied every line, contacts made all at
// once before delivery, a collator call per comparison in the sort.
#include "bench/landed_contact_scan.h"

#include <fmt/format.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <variant>
#include <vector>

#include "common/contact_key.h"
#include "platform/foundation/log.h"
#include "platform/process/process.h"
#include "platform/text/text.h"

namespace landed {

using namespace platform::contacts;
using mornaqprefs::OrderedDictionary;
using platform::NSLog;

struct VCardPhone {
  std::optional<std::string> type;
  std::string number;
};

struct VCard {
  std::optional<std::string> uid;
  std::optional<std::string> formattedName;
  std::optional<std::vector<std::string>> name;
  std::vector<VCardPhone> phones;
  std::string content;
};

// A logical line, unfolded, with the number of its first physical line.
struct Line {
  std::string text;
  std::size_t number;
};

struct Parameter {
  std::string name;  // upper case
  std::string value;
};

struct ContentLine {
  std::string name;  // upper case, without its group
  std::vector<Parameter> parameters;
  std::string value;  // still escaped
};

struct Problem {
  std::size_t line;
  std::string what;
};

std::string upper(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::vector<Line> unfoldedLines(std::string_view text) {
  constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(byteOrderMark)) text.remove_prefix(byteOrderMark.size());
  std::vector<Line> lines;
  for (std::size_t number = 1; !text.empty(); ++number) {
    const auto end = text.find('\n');
    std::string_view physical = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (physical.ends_with('\r')) physical.remove_suffix(1);
    // RFC 6350 §3.2: a line starting with a space or a tab continues the one
    // before it, less that one character.
    const bool continues = physical.starts_with(' ') || physical.starts_with('\t');
    if (continues && !lines.empty()) {
      lines.back().text.append(physical.substr(1));
    } else {
      lines.push_back({std::string(physical), number});
    }
  }
  return lines;
}

// Splits text at each separator outside double quotes.
std::vector<std::string_view> splitOutsideQuotes(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == separator && !quoted) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

Parameter parameterOf(std::string_view text) {
  const auto equals = text.find('=');
  // A bare parameter ("TEL;CELL:") is a type, as older exporters write it.
  if (equals == std::string_view::npos) return {"TYPE", std::string(text)};
  std::string value(text.substr(equals + 1));
  std::erase(value, '"');
  return {upper(text.substr(0, equals)), std::move(value)};
}

std::optional<ContentLine> parseContentLine(std::string_view line) {
  // The value starts after the first colon that is not inside a quoted
  // parameter value.
  bool quoted = false;
  std::size_t colon = std::string_view::npos;
  for (std::size_t i = 0; i < line.size() && colon == std::string_view::npos; ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) colon = i;
  }
  if (colon == std::string_view::npos) return std::nullopt;
  const auto head = splitOutsideQuotes(line.substr(0, colon), ';');
  std::string_view name = head.front();
  if (const auto dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
  if (name.empty()) return std::nullopt;
  ContentLine result{upper(name), {}, std::string(line.substr(colon + 1))};
  for (auto it = head.begin() + 1; it != head.end(); ++it) {
    result.parameters.push_back(parameterOf(*it));
  }
  return result;
}

// RFC 6350 §3.4: \\, \n or \N, \, and \; stand for themselves; an unknown
// escape keeps its character.
std::string unescaped(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      result.push_back(text[i]);
      continue;
    }
    const char escaped = text[++i];
    result.push_back(escaped == 'n' || escaped == 'N' ? '\n' : escaped);
  }
  return result;
}

// The components of a structured value such as N, split at unescaped
// semicolons and then unescaped.
std::vector<std::string> components(std::string_view value) {
  std::vector<std::string> result;
  std::size_t start = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\') {
      ++i;
    } else if (value[i] == ';') {
      result.push_back(unescaped(value.substr(start, i - start)));
      start = i + 1;
    }
  }
  result.push_back(unescaped(value.substr(start)));
  return result;
}

VCardPhone phoneOf(const ContentLine& line) {
  VCardPhone phone;
  for (const auto& parameter : line.parameters) {
    if (parameter.name != "TYPE") continue;
    phone.type = phone.type ? *phone.type + "," + parameter.value : parameter.value;
  }
  std::string_view number = line.value;
  // vCard 4.0 writes numbers as tel: addresses.
  if (upper(number.substr(0, 4)) == "TEL:") number.remove_prefix(4);
  phone.number = unescaped(number);
  return phone;
}

bool isCardDelimiter(const Line& line, std::string_view property) {
  const auto text = trimmed(line.text);
  if (upper(text.substr(0, property.size())) != property) return false;
  const auto content = parseContentLine(text);
  return content && content->name == property && upper(trimmed(content->value)) == "VCARD";
}

std::variant<VCard, Problem> parseCard(const std::vector<Line>& lines) {
  VCard card;
  for (const auto& line : lines) {
    if (!isUtf8(line.text)) return Problem{line.number, "the text is not UTF-8"};
    if (!card.content.empty()) card.content.push_back('\n');
    card.content.append(line.text);
    if (trimmed(line.text).empty()) continue;
    const auto content = parseContentLine(line.text);
    if (!content) return Problem{line.number, "the line is not a property"};
    if (content->name == "VERSION") {
      const auto version = trimmed(content->value);
      if (version != "3.0" && version != "4.0") {
        return Problem{line.number, fmt::format("version {} is not supported", version)};
      }
    } else if (content->name == "UID") {
      card.uid = unescaped(content->value);
    } else if (content->name == "FN") {
      card.formattedName = unescaped(content->value);
    } else if (content->name == "N") {
      card.name = components(content->value);
    } else if (content->name == "TEL") {
      card.phones.push_back(phoneOf(*content));
    }
  }
  return card;
}

static std::vector<VCard> readVCards(std::string_view text, std::string_view source) {
  struct OpenCard {
    std::size_t firstLine;
    std::vector<Line> lines;
  };
  std::vector<VCard> cards;
  std::optional<OpenCard> open;
  std::size_t strayLines = 0;
  const auto skip = [&](std::size_t line, std::string_view why) {
    NSLog(fmt::format("Contacts: skipped the card at line {} of {}: {}", line, source, why));
  };
  for (auto& line : unfoldedLines(text)) {
    if (isCardDelimiter(line, "BEGIN")) {
      if (open) skip(open->firstLine, "it has no END:VCARD");
      open = OpenCard{line.number, {}};
    } else if (!open) {
      if (!trimmed(line.text).empty()) ++strayLines;
    } else if (isCardDelimiter(line, "END")) {
      auto card = parseCard(open->lines);
      if (const auto* problem = std::get_if<Problem>(&card)) {
        skip(open->firstLine, fmt::format("line {}: {}", problem->line, problem->what));
      } else {
        cards.push_back(std::get<VCard>(std::move(card)));
      }
      open.reset();
    } else {
      open->lines.push_back(std::move(line));
    }
  }
  if (open) skip(open->firstLine, "it has no END:VCARD");
  if (strayLines > 0) {
    NSLog(fmt::format("Contacts: ignored {} lines outside any card in {}", strayLines, source));
  }
  return cards;
}

// 64-bit FNV-1a: stable across runs, builds and machines, unlike std::hash.
std::string contentHash(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001b3ULL;
  }
  return fmt::format("{:016X}", hash);
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
static std::vector<CNContactData> contactsOf(std::vector<VCard> cards) {
  std::vector<CNContactData> contacts;
  contacts.reserve(cards.size());
  std::unordered_set<std::string> taken;
  for (auto& card : cards) {
    const std::string record = card.uid ? *card.uid : contentHash(card.content);
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

static void addContact(const platform::contacts::CNContact& contact,
                       platform::Dictionary& directory, NamesInUse& names) {
  if (contact.phoneNumbers().empty()) return;
  std::string key = mornaq::format::contactKey(contact.identifier());
  if (directory.contains(key)) {
    // Two identifiers that differ only in ":ABPerson" would share one entry
    // of settings: the first keeps the row.
    platform::NSLog(fmt::format("[Mornaq] contact key {} is listed already, skipped {}", key,
                                contact.identifier()));
    return;
  }
  directory.emplace(std::move(key), names.claim(mornaqprefs::displayName(contact)));
}

static OrderedDictionary sortedDictionary(const platform::Dictionary& directory) {
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
  std::ranges::sort(entries, [&collator](const Entry& a, const Entry& b) {
    if (const int order = collator.compare(a.name, b.name); order != 0) return order < 0;
    return std::tie(a.name, *a.key) < std::tie(b.name, *b.key);
  });
  OrderedDictionary sorted(entries.size());
  for (const auto& entry : entries) sorted.setObject(*entry.value, *entry.key);
  return sorted;
}

std::pair<platform::Dictionary, OrderedDictionary> scanContacts() {
  const auto path = platform::Process::current().root().map(kAddressBookPath);
  std::ifstream in(*path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  platform::Dictionary directory;
  NamesInUse names;
  const auto keys = std::make_shared<const std::vector<std::string>>(std::vector<std::string>{
      std::string(CNContactFamilyNameKey), std::string(CNContactGivenNameKey),
      std::string(CNContactPhoneNumbersKey)});
  for (auto& data : contactsOf(readVCards(text, kAddressBookPath))) {
    addContact(CNContact(std::move(data), keys), directory, names);
  }
  auto sorted = sortedDictionary(directory);
  return {std::move(directory), std::move(sorted)};
}

}  // namespace landed
