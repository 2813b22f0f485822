#pragma once
// A mutable dictionary that keeps its keys in the order they were added, so
// that a list built in a chosen order (contacts by name) reads back in it.
// Keys are strings; values are property-list values and never nil.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/foundation/value.h"

namespace mornaqprefs {

class OrderedDictionary {
 public:
  // init
  OrderedDictionary() = default;
  // initWithCapacity:, the capacity a size hint.
  explicit OrderedDictionary(std::size_t capacity);
  OrderedDictionary(const OrderedDictionary& other);
  OrderedDictionary& operator=(const OrderedDictionary& other);
  OrderedDictionary(OrderedDictionary&&) noexcept = default;
  OrderedDictionary& operator=(OrderedDictionary&&) noexcept = default;

  // copy: the pairs, in no promised order.
  platform::Dictionary copy() const;

  // A new key goes to the end; a present key keeps its place and gets the value.
  void setObject(platform::Value object, const std::string& key);
  // An absent key changes nothing.
  void removeObjectForKey(std::string_view key);
  // Takes a present key out first; index counts the keys left after that and
  // must not exceed their number.
  void insertObject(platform::Value object, const std::string& key, std::size_t index);

  std::size_t count() const { return dictionary_.size(); }
  // nil when absent.
  const platform::Value& objectForKey(std::string_view key) const;
  // index must be below count().
  const std::string& keyAtIndex(std::size_t index) const;
  // The value of keyAtIndex(index), without a lookup; index must be below count().
  const platform::Value& objectAtIndex(std::size_t index) const;

  // The keys in order (allKeys).
  const std::vector<std::string>& allKeys() const { return array_; }
  // Enumerators as copies of the keys, so that the dictionary may change while
  // one is walked (and not views, which Clang 14 cannot build on libstdc++ 12).
  std::vector<std::string> keyEnumerator() const { return array_; }
  std::vector<std::string> reverseKeyEnumerator() const { return {array_.rbegin(), array_.rend()}; }

  // The text form: "{", one "key = value;" line per pair, "}", each line
  // ended by a line feed and indented by four spaces per level. Keys and
  // values print at this same level.
  std::string descriptionWithLocale(const std::optional<std::string>& locale,
                                    std::size_t level) const;

 private:
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const {
      return std::hash<std::string_view>{}(key);
    }
  };
  std::unordered_map<std::string, platform::Value, KeyHash, std::equal_to<>> dictionary_;
  std::vector<std::string> array_;
  // The value of each key of array_, at the same index, so that walking the
  // pairs in order looks nothing up: a value stays in its node of the map
  // until erased, and moves with the map.
  std::vector<const platform::Value*> values_;
};

// The text form of one key or value: a string is itself; a collection prints
// its description at the indent level; anything else its description.
std::string DescriptionForObject(const platform::Value& object,
                                 const std::optional<std::string>& locale, std::size_t indent);

}  // namespace mornaqprefs
