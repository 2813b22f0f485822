#include "MornaqPrefs/support/ordered_dictionary.h"

#include <fmt/format.h>

#include <algorithm>

#include "platform/process/process.h"

namespace mornaqprefs {
namespace {

std::string indentString(std::size_t level) { return std::string(4 * level, ' '); }

}  // namespace

OrderedDictionary::OrderedDictionary(std::size_t capacity) {
  dictionary_.reserve(capacity);
  array_.reserve(capacity);
  values_.reserve(capacity);
}

OrderedDictionary::OrderedDictionary(const OrderedDictionary& other)
    : dictionary_(other.dictionary_), array_(other.array_) {
  values_.reserve(array_.size());
  for (const auto& key : array_) values_.push_back(&dictionary_.find(key)->second);
}

OrderedDictionary& OrderedDictionary::operator=(const OrderedDictionary& other) {
  return *this = OrderedDictionary(other);
}

platform::Dictionary OrderedDictionary::copy() const {
  return platform::Dictionary(dictionary_.begin(), dictionary_.end());
}

void OrderedDictionary::setObject(platform::Value object, const std::string& key) {
  if (object.isNil()) platform::fatal(fmt::format("OrderedDictionary: nil object for key {}", key));
  const auto [place, added] = dictionary_.insert_or_assign(key, std::move(object));
  if (added) {
    array_.push_back(place->first);
    values_.push_back(&place->second);
  }
}

void OrderedDictionary::removeObjectForKey(std::string_view key) {
  const auto place = dictionary_.find(key);
  if (place == dictionary_.end()) return;
  const auto index = std::find(array_.begin(), array_.end(), key) - array_.begin();
  array_.erase(array_.begin() + index);
  values_.erase(values_.begin() + index);
  dictionary_.erase(place);
}

void OrderedDictionary::insertObject(platform::Value object, const std::string& key,
                                     std::size_t index) {
  if (object.isNil()) platform::fatal(fmt::format("OrderedDictionary: nil object for key {}", key));
  removeObjectForKey(key);
  if (index > array_.size()) {
    platform::fatal(
        fmt::format("OrderedDictionary: index {} beyond bounds [0 .. {}]", index, array_.size()));
  }
  const auto place = dictionary_.emplace(key, std::move(object)).first;
  array_.insert(array_.begin() + static_cast<std::ptrdiff_t>(index), key);
  values_.insert(values_.begin() + static_cast<std::ptrdiff_t>(index), &place->second);
}

const platform::Value& OrderedDictionary::objectForKey(std::string_view key) const {
  static const platform::Value nil;
  const auto place = dictionary_.find(key);
  return place == dictionary_.end() ? nil : place->second;
}

const std::string& OrderedDictionary::keyAtIndex(std::size_t index) const {
  if (index >= array_.size()) {
    platform::fatal(
        fmt::format("OrderedDictionary: index {} beyond bounds [0 .. {})", index, array_.size()));
  }
  return array_[index];
}

const platform::Value& OrderedDictionary::objectAtIndex(std::size_t index) const {
  keyAtIndex(index);  // stops with the same message beyond bounds
  return *values_[index];
}

std::string OrderedDictionary::descriptionWithLocale(const std::optional<std::string>& locale,
                                                     std::size_t level) const {
  const std::string indent = indentString(level);
  std::string text = indent + "{\n";
  for (const auto& key : array_) {
    text += fmt::format("{}    {} = {};\n", indent, DescriptionForObject(key, locale, level),
                        DescriptionForObject(objectForKey(key), locale, level));
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
