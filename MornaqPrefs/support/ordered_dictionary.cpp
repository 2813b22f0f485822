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
}

platform::Dictionary OrderedDictionary::copy() const {
  return platform::Dictionary(dictionary_.begin(), dictionary_.end());
}

void OrderedDictionary::setObject(platform::Value object, const std::string& key) {
  if (object.isNil()) platform::fatal(fmt::format("OrderedDictionary: nil object for key {}", key));
  const auto [place, added] = dictionary_.insert_or_assign(key, std::move(object));
  if (added) array_.push_back(place->first);
}

void OrderedDictionary::removeObjectForKey(std::string_view key) {
  const auto place = dictionary_.find(key);
  if (place == dictionary_.end()) return;
  dictionary_.erase(place);
  std::erase(array_, key);
}

void OrderedDictionary::insertObject(platform::Value object, const std::string& key,
                                     std::size_t index) {
  if (object.isNil()) platform::fatal(fmt::format("OrderedDictionary: nil object for key {}", key));
  removeObjectForKey(key);
  if (index > array_.size()) {
    platform::fatal(
        fmt::format("OrderedDictionary: index {} beyond bounds [0 .. {}]", index, array_.size()));
  }
  array_.insert(array_.begin() + static_cast<std::ptrdiff_t>(index), key);
  dictionary_.emplace(key, std::move(object));
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
