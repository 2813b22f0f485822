#include "MornaqPrefs/support/ordered_dictionary.h"

#include <fmt/format.h>

#include <algorithm>

#include "platform/process/process.h"

namespace mornaqprefs {
namespace {

std::string indentString(std::size_t level) { return std::string(4 * level, ' '); }

}  // namespace

OrderedDictionary::OrderedDictionary(std::size_t capacity) : keys_(capacity) {
  values_.reserve(capacity);
}

platform::Dictionary OrderedDictionary::copy() const {
  platform::Dictionary pairs;
  for (std::size_t i = 0; i < count(); ++i) pairs.emplace(keys_[i], values_[i]);
  return pairs;
}

void OrderedDictionary::setObject(platform::Value object, std::string_view key) {
  if (object.isNil()) platform::fatal(fmt::format("OrderedDictionary: nil object for key {}", key));
  if (keys_.insert(key)) {
    values_.push_back(std::move(object));
  } else {
    values_[*keys_.find(key)] = std::move(object);
  }
}

// A set of texts neither forgets one nor puts one between two: taking a key
// out or in builds the set again, in the time moving the values up takes.
platform::TextSet OrderedDictionary::keysWithout(std::size_t index) const {
  platform::TextSet kept(count());
  for (std::size_t i = 0; i < count(); ++i) {
    if (i != index) kept.insert(keys_[i]);
  }
  return kept;
}

void OrderedDictionary::removeObjectForKey(std::string_view key) {
  const auto index = keys_.find(key);
  if (!index) return;
  keys_ = keysWithout(*index);
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(*index));
}

void OrderedDictionary::insertObject(platform::Value object, std::string_view key,
                                     std::size_t index) {
  if (object.isNil()) platform::fatal(fmt::format("OrderedDictionary: nil object for key {}", key));
  removeObjectForKey(key);
  if (index > count()) {
    platform::fatal(
        fmt::format("OrderedDictionary: index {} beyond bounds [0 .. {}]", index, count()));
  }
  platform::TextSet keys(count() + 1);
  for (std::size_t i = 0; i <= count(); ++i) {
    if (i == index) keys.insert(key);
    if (i < count()) keys.insert(keys_[i]);
  }
  keys_ = std::move(keys);
  values_.insert(values_.begin() + static_cast<std::ptrdiff_t>(index), std::move(object));
}

const platform::Value& OrderedDictionary::objectForKey(std::string_view key) const {
  static const platform::Value nil;
  const auto index = keys_.find(key);
  return index ? values_[*index] : nil;
}

std::string_view OrderedDictionary::keyAtIndex(std::size_t index) const {
  if (index >= count()) {
    platform::fatal(
        fmt::format("OrderedDictionary: index {} beyond bounds [0 .. {})", index, count()));
  }
  return keys_[index];
}

const platform::Value& OrderedDictionary::objectAtIndex(std::size_t index) const {
  keyAtIndex(index);  // stops with the same message beyond bounds
  return values_[index];
}

std::vector<std::string> OrderedDictionary::allKeys() const {
  std::vector<std::string> keys;
  keys.reserve(count());
  for (std::size_t i = 0; i < count(); ++i) keys.emplace_back(keys_[i]);
  return keys;
}

std::vector<std::string> OrderedDictionary::reverseKeyEnumerator() const {
  auto keys = allKeys();
  std::reverse(keys.begin(), keys.end());
  return keys;
}

std::string OrderedDictionary::descriptionWithLocale(const std::optional<std::string>& locale,
                                                     std::size_t level) const {
  const std::string indent = indentString(level);
  std::string text = indent + "{\n";
  for (std::size_t i = 0; i < count(); ++i) {
    text += fmt::format("{}    {} = {};\n", indent, DescriptionForObject(keys_[i], locale, level),
                        DescriptionForObject(values_[i], locale, level));
  }
  return text + indent + "}\n";
}

std::string DescriptionForObject(const platform::Value& object,
                                 const std::optional<std::string>& /*locale*/, std::size_t indent) {
  if (const auto* text = object.string()) return *text;
  std::string description = object.description();
  // A collection at a deeper level indents every line after its first; the
  // first follows its key on the key's line.
  if (object.isDictionary() || object.isArray()) {
    const std::string padding = indentString(indent);
    for (auto newline = description.find('\n'); newline != std::string::npos;
         newline = description.find('\n', newline + 1)) {
      description.insert(newline + 1, padding);
    }
  }
  return description;
}

}  // namespace mornaqprefs
