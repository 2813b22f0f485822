#pragma once
// The in-memory property-list value, mirroring Foundation's object types:
// nil, booleans, integers, reals, strings, data, dates, arrays and
// dictionaries, plus host object handles (in-process notifications only).
// Its conversions follow Foundation's rules, since stored files rely on them.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/runtime/object.h"

namespace platform {

class Value;
using Array = std::vector<Value>;
using Dictionary = std::map<std::string, Value, std::less<>>;

struct Data {
  std::vector<std::uint8_t> bytes;
  bool operator==(const Data&) const = default;
};

// A moment as seconds since 2001-01-01T00:00:00Z, as the property-list format counts.
struct Date {
  double secondsSinceReferenceDate = 0;
  bool operator==(const Date&) const = default;
};

// Integers above INT64_MAX, as property lists may hold them.
struct Unsigned {
  std::uint64_t value = 0;
  bool operator==(const Unsigned&) const = default;
};

// A dictionary held apart from the value that holds it, with a value's
// copies: inline, the largest alternative would make every value 16 bytes
// larger, and with it every entry of every dictionary and array. A box moved
// from holds an empty dictionary.
class DictionaryBox {
 public:
  explicit DictionaryBox(Dictionary dictionary);
  DictionaryBox(const DictionaryBox& other);
  DictionaryBox(DictionaryBox&&) noexcept = default;
  DictionaryBox& operator=(const DictionaryBox& other);
  DictionaryBox& operator=(DictionaryBox&&) noexcept = default;
  ~DictionaryBox();

  const Dictionary& get() const;
  Dictionary& get();

  friend bool operator==(const DictionaryBox& a, const DictionaryBox& b);

 private:
  std::unique_ptr<Dictionary> dictionary_;
};

class Value {
 public:
  using Storage = std::variant<std::monostate, bool, std::int64_t, Unsigned, double, std::string,
                               Data, Date, Array, DictionaryBox, Id>;

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : storage_(b) {}
  Value(int i) : storage_(std::int64_t{i}) {}
  Value(long i) : storage_(std::int64_t{i}) {}
  Value(long long i) : storage_(std::int64_t{i}) {}
  Value(Unsigned u) : storage_(u) {}
  Value(double d) : storage_(d) {}
  Value(const char* s) : storage_(std::string(s)) {}
  Value(std::string s) : storage_(std::move(s)) {}
  Value(std::string_view s) : storage_(std::string(s)) {}
  Value(Data d) : storage_(std::move(d)) {}
  Value(Date d) : storage_(d) {}
  Value(Array a) : storage_(std::move(a)) {}
  Value(Dictionary d) : storage_(DictionaryBox(std::move(d))) {}
  Value(Id object) {
    if (object) storage_ = std::move(object);
  }
  // A nullable text: nil when absent.
  Value(const std::optional<std::string>& s) {
    if (s) storage_ = *s;
  }

  bool isNil() const { return std::holds_alternative<std::monostate>(storage_); }
  bool isBool() const { return std::holds_alternative<bool>(storage_); }
  bool isString() const { return std::holds_alternative<std::string>(storage_); }
  bool isDictionary() const { return std::holds_alternative<DictionaryBox>(storage_); }
  bool isArray() const { return std::holds_alternative<Array>(storage_); }
  bool isObject() const { return std::holds_alternative<Id>(storage_); }

  const Storage& storage() const { return storage_; }

  // Typed access; nullptr when the value holds another type.
  const std::string* string() const { return std::get_if<std::string>(&storage_); }
  const Dictionary* dictionary() const {
    const auto* box = std::get_if<DictionaryBox>(&storage_);
    return box ? &box->get() : nullptr;
  }
  Dictionary* dictionary() {
    auto* box = std::get_if<DictionaryBox>(&storage_);
    return box ? &box->get() : nullptr;
  }
  const Array* array() const { return std::get_if<Array>(&storage_); }
  Id object() const;

  // Foundation's conversions.
  // boolValue: numbers are YES when non-zero; strings are YES when, after
  // leading white space, an optional sign and zeros, they start with
  // Y, y, T, t or a digit 1 to 9; everything else is NO.
  bool boolValue() const;
  // longLongValue: a leading whole number of a string (0 when there is none,
  // saturating on overflow); numbers truncate towards zero; else 0.
  std::int64_t longLongValue() const;
  // stringValue: a string unchanged, a number as its decimal text; else nil.
  std::optional<std::string> stringValue() const;
  // The text "%@" prints: "(null)" for nil, numbers and strings as above,
  // collections in Foundation's description format.
  std::string description() const;

  friend bool operator==(const Value& a, const Value& b) { return a.storage_ == b.storage_; }

 private:
  Storage storage_;
};

// The value under key, or nil.
const Value& lookUp(const Dictionary& dictionary, std::string_view key);

}  // namespace platform
