#include "platform/foundation/value.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace platform {
namespace {

constexpr auto kLongLongMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kLongLongMin = std::numeric_limits<std::int64_t>::min();
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

template <class... Fs>
struct Overloaded : Fs... {
  using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;  // Clang 14 does not deduce aggregates yet

// What NSString's numeric conversions skip before a number: leading white space, then at most
// one sign. Returns whether the sign was a minus.
bool skipSpaceAndSign(std::string_view& text) {
  const auto start = text.find_first_not_of(kWhiteSpace);
  text.remove_prefix(start == std::string_view::npos ? text.size() : start);
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  return negative;
}

bool stringBoolValue(std::string_view text) {
  skipSpaceAndSign(text);
  const auto start = text.find_first_not_of('0');
  if (start == std::string_view::npos) return false;
  return std::string_view("YyTt123456789").find(text[start]) != std::string_view::npos;
}

std::int64_t stringLongLongValue(std::string_view text) {
  const bool negative = skipSpaceAndSign(text);
  std::uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (end == text.data()) return 0;
  const bool overflow = error == std::errc::result_out_of_range;
  if (negative) {
    constexpr auto limit = static_cast<std::uint64_t>(kLongLongMax) + 1;
    return overflow || magnitude >= limit ? kLongLongMin : -static_cast<std::int64_t>(magnitude);
  }
  return overflow || magnitude > static_cast<std::uint64_t>(kLongLongMax)
             ? kLongLongMax
             : static_cast<std::int64_t>(magnitude);
}

std::int64_t truncatedLongLong(double real) {
  if (std::isnan(real)) return 0;
  constexpr auto limit = 0x1p63;  // 2^63: the first double past the largest int64
  if (real >= limit) return kLongLongMax;
  if (real < -limit) return kLongLongMin;
  return static_cast<std::int64_t>(real);
}

// NSNumber's text of a real: the shortest that reads back to the same value ("2.5", "3").
std::string realText(double real) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, real);
  return std::string(buffer, end);
}

}  // namespace

static_assert(sizeof(Value) <= sizeof(std::string) + sizeof(std::size_t),
              "a value is as large as a string and its tag, no larger");

DictionaryBox::DictionaryBox(Dictionary dictionary)
    : dictionary_(std::make_unique<Dictionary>(std::move(dictionary))) {}

DictionaryBox::DictionaryBox(const DictionaryBox& other)
    : dictionary_(std::make_unique<Dictionary>(other.get())) {}

DictionaryBox& DictionaryBox::operator=(const DictionaryBox& other) {
  if (this != &other) dictionary_ = std::make_unique<Dictionary>(other.get());
  return *this;
}

DictionaryBox::~DictionaryBox() = default;

const Dictionary& DictionaryBox::get() const {
  static const Dictionary empty;
  return dictionary_ ? *dictionary_ : empty;
}

Dictionary& DictionaryBox::get() {
  if (!dictionary_) dictionary_ = std::make_unique<Dictionary>();
  return *dictionary_;
}

bool operator==(const DictionaryBox& a, const DictionaryBox& b) { return a.get() == b.get(); }

Id Value::object() const {
  const Id* object = std::get_if<Id>(&storage_);
  return object ? *object : nullptr;
}

bool Value::boolValue() const {
  return std::visit(Overloaded{
                        [](bool b) { return b; },
                        [](std::int64_t i) { return i != 0; },
                        [](Unsigned u) { return u.value != 0; },
                        [](double d) { return d != 0; },
                        [](const std::string& s) { return stringBoolValue(s); },
                        [](const auto&) { return false; },
                    },
                    storage_);
}

std::int64_t Value::longLongValue() const {
  return std::visit(Overloaded{
                        [](bool b) -> std::int64_t { return b ? 1 : 0; },
                        [](std::int64_t i) { return i; },
                        [](Unsigned u) {
                          return u.value > static_cast<std::uint64_t>(kLongLongMax)
                                     ? kLongLongMax
                                     : static_cast<std::int64_t>(u.value);
                        },
                        [](double d) { return truncatedLongLong(d); },
                        [](const std::string& s) { return stringLongLongValue(s); },
                        [](const auto&) -> std::int64_t { return 0; },
                    },
                    storage_);
}

std::optional<std::string> Value::stringValue() const {
  using Text = std::optional<std::string>;
  return std::visit(Overloaded{
                        [](bool b) -> Text { return b ? "1" : "0"; },
                        [](std::int64_t i) -> Text { return std::to_string(i); },
                        [](Unsigned u) -> Text { return std::to_string(u.value); },
                        [](double d) -> Text { return realText(d); },
                        [](const std::string& s) -> Text { return s; },
                        [](const auto&) -> Text { return std::nullopt; },
                    },
                    storage_);
}

const Value& lookUp(const Dictionary& dictionary, std::string_view key) {
  static const Value nil;
  const auto found = dictionary.find(key);
  return found == dictionary.end() ? nil : found->second;
}

}  // namespace platform
