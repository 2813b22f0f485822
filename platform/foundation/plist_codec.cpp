#include "platform/foundation/plist_codec.h"

#include <locale.h>
#include <plist/plist.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>

#include "platform/foundation/big_endian.h"
#include "platform/foundation/plist_guards.h"

namespace platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBinaryMagic = "bplist00";
constexpr const char* kTooLarge = "it is larger than 4 GB";
// What the guards leave libplist to refuse, which it then hands over in a form it does not know.
constexpr const char* kUnreadableValue = "it holds a value that cannot be read";

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistFree>;

struct CFree {
  void operator()(void* memory) const { std::free(memory); }
};
struct BinaryFree {
  void operator()(char* bytes) const { plist_to_bin_free(bytes); }
};

// libplist reads reals with atof, which follows LC_NUMERIC: under a German locale "1.5" reads
// as 1. Its writer is not affected.
class ClassicNumbersScope {
 public:
  ClassicNumbersScope() : previous_(uselocale(classic())) {}
  ~ClassicNumbersScope() { uselocale(previous_); }
  ClassicNumbersScope(const ClassicNumbersScope&) = delete;
  ClassicNumbersScope& operator=(const ClassicNumbersScope&) = delete;

 private:
  static locale_t classic() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
  }
  locale_t previous_;
};

Value unsignedValue(std::uint64_t value) {
  if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return Unsigned{value};
  }
  return static_cast<long long>(value);
}

// libplist 2.2.0's API hides two things it knows: whether an integer with the top bit set is
// negative or above INT64_MAX (both read back as the same 64 bits), and the exact value of a
// date outside 1933-2069 or with a fraction of a second (it answers 32-bit seconds, truncated
// towards zero, and the fraction's absolute value). Its binary writer tells both: a lone node
// written as a binary list is its only object, right after the 8-byte header, with a marker
// byte that gives an integer's width (8 bytes signed, 16 bytes unsigned) and, for a date, the
// big-endian double that follows. Writing costs microseconds, so it is asked only when needed.
std::string loneBinaryObject(plist_t node) {
  char* bytes = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(node, &bytes, &length);
  const std::unique_ptr<char, BinaryFree> owner(bytes);
  if (length <= kBinaryMagic.size()) return {};
  return std::string(bytes + kBinaryMagic.size(), length - kBinaryMagic.size());
}

Value integerOf(plist_t node) {
  std::uint64_t bits = 0;
  plist_get_uint_val(node, &bits);
  constexpr std::uint8_t kEightByteInteger = 0x13;
  if (bits >> 63 != 0 && loneBinaryObject(node).starts_with(static_cast<char>(kEightByteInteger))) {
    return static_cast<long long>(std::bit_cast<std::int64_t>(bits));
  }
  return unsignedValue(bits);
}

std::optional<Value> dateOf(plist_t node) {
  std::int32_t seconds = 0, microseconds = 0;
  plist_get_date_val(node, &seconds, &microseconds);
  constexpr auto kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr auto kHighest = std::numeric_limits<std::int32_t>::max();
  // Whole seconds within 32 bits, as every date read from XML in 1933-2069, come through intact;
  // beyond, libplist's seconds are pinned or garbage.
  if (microseconds == 0 && seconds > kLowest && seconds < kHighest) {
    return Date{static_cast<double>(seconds)};
  }

  const std::string object = loneBinaryObject(node);
  constexpr std::size_t kMarkerAndDouble = 1 + sizeof(double);
  if (object.size() < kMarkerAndDouble) return std::nullopt;
  return Date{std::bit_cast<double>(readBigEndian(object, 1, sizeof(double)))};
}

std::optional<Value> valueOf(plist_t node, int nesting);

std::optional<Value> arrayOf(plist_t node, int nesting) {
  Array array;
  const auto size = plist_array_get_size(node);
  array.reserve(size);
  for (std::uint32_t i = 0; i < size; ++i) {
    auto item = valueOf(plist_array_get_item(node, i), nesting);
    if (!item) return std::nullopt;
    array.push_back(std::move(*item));
  }
  return array;
}

std::optional<Value> dictionaryOf(plist_t node, int nesting) {
  Dictionary dictionary;
  plist_dict_iter iterator = nullptr;
  plist_dict_new_iter(node, &iterator);
  const std::unique_ptr<void, CFree> iteratorOwner(iterator);
  while (true) {
    char* key = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, iterator, &key, &item);
    const std::unique_ptr<char, CFree> keyOwner(key);
    if (!item) return dictionary;
    auto value = valueOf(item, nesting);
    if (!key || !value) return std::nullopt;
    dictionary.insert_or_assign(key, std::move(*value));
  }
}

std::optional<Value> valueOf(plist_t node, int nesting) {
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      std::uint8_t on = 0;
      plist_get_bool_val(node, &on);
      return Value(on != 0);
    }
    case PLIST_UINT:
      return integerOf(node);
    case PLIST_REAL: {
      double real = 0;
      plist_get_real_val(node, &real);
      return real;
    }
    case PLIST_STRING: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return std::string(text, length);
    }
    case PLIST_DATA: {
      std::uint64_t length = 0;
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
      return Data{{bytes, bytes + length}};
    }
    case PLIST_DATE:
      return dateOf(node);
    case PLIST_ARRAY:
      if (nesting >= kMaxPropertyListNesting) return std::nullopt;
      return arrayOf(node, nesting + 1);
    case PLIST_DICT:
      if (nesting >= kMaxPropertyListNesting) return std::nullopt;
      return dictionaryOf(node, nesting + 1);
    case PLIST_UID: {
      // As Apple's XML writer spells a keyed archive's object reference.
      std::uint64_t uid = 0;
      plist_get_uid_val(node, &uid);
      return Dictionary{{"CF$UID", unsignedValue(uid)}};
    }
    default:
      return std::nullopt;
  }
}

// libplist 2.2.0 reads an XML text only up to a NUL character (the rest comes back as zeros), so
// it is handed each NUL as an overlong sequence (C0 80, C0 81, ...), which is not UTF-8 and so in
// no text the phone writes, and every string and key read gets its NUL characters back. The
// sequence is one the text does not already hold, so that bytes a file really holds stay as they
// are.
constexpr std::string_view kNul{"\0", 1};

std::optional<std::string> nulStandIn(std::string_view xml) {
  for (const unsigned char lead : {0xC0, 0xC1}) {
    for (unsigned char trail = 0x80; trail <= 0xBF; ++trail) {
      std::string candidate{static_cast<char>(lead), static_cast<char>(trail)};
      if (xml.find(candidate) == std::string_view::npos) return candidate;
    }
  }
  return std::nullopt;
}

std::string replacedAll(std::string text, std::string_view from, std::string_view to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

Value withNul(Value value, std::string_view standIn) {
  if (const auto* text = value.string()) return replacedAll(*text, standIn, kNul);
  if (const auto* array = value.array()) {
    Array restored;
    for (const auto& item : *array) restored.push_back(withNul(item, standIn));
    return restored;
  }
  if (const auto* dictionary = value.dictionary()) {
    Dictionary restored;
    for (const auto& [key, item] : *dictionary) {
      restored.insert_or_assign(replacedAll(key, standIn, kNul), withNul(item, standIn));
    }
    return restored;
  }
  return value;
}

Result<Value> parseBinary(std::string_view bytes) {
  PLATFORM_TRY(checkBinaryPropertyList(bytes));
  plist_t root = nullptr;
  plist_from_bin(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  const PlistNode owner(root);
  if (!root) return Failure{"the binary property list is damaged"};
  auto value = valueOf(root, 0);
  if (!value) return Failure{kUnreadableValue};
  return std::move(*value);
}

Result<Value> parseXml(std::string_view bytes) {
  auto checked = checkXmlPropertyList(bytes);
  PLATFORM_TRY(checked);
  std::string& xml = *checked;
  std::optional<std::string> standIn;  // for the NUL characters of a text that holds them
  if (xml.find('\0') != std::string::npos) {
    standIn = nulStandIn(xml);
    if (!standIn) return Failure{"its NUL characters cannot be read beside its other bytes"};
    xml = replacedAll(std::move(xml), kNul, *standIn);
  }
  if (xml.size() > std::numeric_limits<std::uint32_t>::max()) return Failure{kTooLarge};
  plist_t root = nullptr;
  {
    const ClassicNumbersScope classicNumbers;
    plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &root);
  }
  const PlistNode owner(root);
  if (!root) {
    auto flaw = flawInXmlPropertyList(bytes);
    return Failure{flaw.empty() ? "it is not a property list" : std::move(flaw)};
  }
  auto value = valueOf(root, 0);
  if (!value) return Failure{kUnreadableValue};
  return standIn ? withNul(std::move(*value), *standIn) : std::move(*value);
}

}  // namespace

Result<Value> parsePropertyList(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (bytes.empty()) return Failure{"it is empty"};
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) return Failure{kTooLarge};
  return bytes.starts_with(kBinaryMagic) ? parseBinary(bytes) : parseXml(bytes);
}

}  // namespace platform
