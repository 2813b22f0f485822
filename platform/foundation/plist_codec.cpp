#include "platform/foundation/plist_codec.h"

#include <fmt/format.h>
#include <locale.h>
#include <plist/plist.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>

#include "platform/foundation/big_endian.h"
#include "platform/foundation/civil_time.h"
#include "platform/foundation/plist_guards.h"
#include "platform/process/process.h"

namespace platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBinaryMagic = "bplist00";

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
struct XmlFree {
  void operator()(char* text) const { plist_to_xml_free(text); }
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

// ---- Reading

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

// ---- Writing

// libplist 2.2.0 makes integers above INT64_MAX and dates outside 1933-2069 only by reading
// them: plist_new_uint's integers are written as signed, plist_new_date takes 32-bit seconds.
PlistNode nodeFromXml(std::string_view element) {
  const std::string xml = fmt::format("<plist version=\"1.0\">{}</plist>", element);
  plist_t node = nullptr;
  plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &node);
  return PlistNode(node);
}

PlistNode unsignedNode(std::uint64_t value) {
  if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return nodeFromXml(fmt::format("<integer>{}</integer>", value));
  }
  return PlistNode(plist_new_uint(value));
}

PlistNode dateNode(const Date& date) {
  // XML holds whole seconds; within 32 bits libplist makes the date itself.
  const double whole = std::floor(date.secondsSinceReferenceDate);
  if (whole > std::numeric_limits<std::int32_t>::min() &&
      whole < std::numeric_limits<std::int32_t>::max()) {
    return PlistNode(plist_new_date(static_cast<std::int32_t>(whole), 0));
  }
  const CivilTime t = civilTime(date.secondsSinceReferenceDate);
  return nodeFromXml(fmt::format("<date>{:04}-{:02}-{:02}T{:02}:{:02}:{:02}Z</date>", t.year,
                                 t.month, t.day, t.hour, t.minute, t.second));
}

PlistNode nodeOf(const Value& value, int nesting);

PlistNode arrayNode(const Array& array, int nesting) {
  PlistNode node(plist_new_array());
  for (const auto& item : array) {
    if (auto child = nodeOf(item, nesting)) plist_array_append_item(node.get(), child.release());
  }
  return node;
}

// Keys in byte order of their UTF-8, as Apple's writer sorts them (libplist keeps insertion order).
PlistNode dictionaryNode(const Dictionary& dictionary, int nesting) {
  PlistNode node(plist_new_dict());
  for (const auto& [key, item] : dictionary) {
    if (auto child = nodeOf(item, nesting)) {
      plist_dict_set_item(node.get(), key.c_str(), child.release());
    }
  }
  return node;
}

// Nil and host objects have no property-list form: nullptr, and their entries are left out.
PlistNode nodeOf(const Value& value, int nesting) {
  const auto& storage = value.storage();
  if (const auto* on = std::get_if<bool>(&storage)) return PlistNode(plist_new_bool(*on));
  if (const auto* integer = std::get_if<std::int64_t>(&storage)) {
    return PlistNode(plist_new_uint(std::bit_cast<std::uint64_t>(*integer)));
  }
  if (const auto* large = std::get_if<Unsigned>(&storage)) return unsignedNode(large->value);
  if (const auto* real = std::get_if<double>(&storage)) return PlistNode(plist_new_real(*real));
  if (const auto* text = value.string()) return PlistNode(plist_new_string(text->c_str()));
  if (const auto* data = std::get_if<Data>(&storage)) {
    return PlistNode(
        plist_new_data(reinterpret_cast<const char*>(data->bytes.data()), data->bytes.size()));
  }
  if (const auto* date = std::get_if<Date>(&storage)) return dateNode(*date);
  if (!value.array() && !value.dictionary()) return nullptr;
  if (nesting >= kMaxPropertyListNesting) {
    fatal(fmt::format("a property list nested deeper than {} levels cannot be written",
                      kMaxPropertyListNesting));
  }
  if (const auto* array = value.array()) return arrayNode(*array, nesting + 1);
  return dictionaryNode(*value.dictionary(), nesting + 1);
}

}  // namespace

std::optional<Value> parsePropertyList(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  plist_t root = nullptr;
  if (bytes.starts_with(kBinaryMagic)) {
    if (!isSafeBinaryPropertyList(bytes)) return std::nullopt;
    plist_from_bin(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  } else {
    const auto xml = safeXmlPropertyList(bytes);
    if (!xml || xml->size() > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    const ClassicNumbersScope classicNumbers;
    plist_from_xml(xml->data(), static_cast<std::uint32_t>(xml->size()), &root);
  }
  const PlistNode owner(root);
  if (!root) return std::nullopt;
  return valueOf(root, 0);
}

std::string serializePropertyList(const Value& root) {
  const PlistNode node = nodeOf(root, 0);
  if (!node) return {};
  char* xml = nullptr;
  std::uint32_t length = 0;
  plist_to_xml(node.get(), &xml, &length);
  const std::unique_ptr<char, XmlFree> owner(xml);
  return std::string(xml, length);
}

}  // namespace platform
