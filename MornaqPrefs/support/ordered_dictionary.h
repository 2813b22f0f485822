#pragma once
// A mutable dictionary that keeps its keys in the order they were added, so
// that a list built in a chosen order (contacts by name) reads back in it.
// Keys are strings; values are property-list values and never nil.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/text_list.h"
#include "platform/foundation/value.h"

namespace mornaqprefs {

class OrderedDictionary {
 public:
  // init
  OrderedDictionary() = default;
  // initWithCapacity:, the capacity a size hint.
  explicit OrderedDictionary(std::size_t capacity);

  // copy: the pairs, in no promised order.
  platform::Dictionary copy() const;

  // A new key goes to the end; a present key keeps its place and gets the value.
  void setObject(platform::Value object, std::string_view key);
  // An absent key changes nothing.
  void removeObjectForKey(std::string_view key);
  // Takes a present key out first; index counts the keys left after that and
  // must not exceed their number.
  void insertObject(platform::Value object, std::string_view key, std::size_t index);

  std::size_t count() const { return values_.size(); }
  // nil when absent.
  const platform::Value& objectForKey(std::string_view key) const;
  // The index of key; nullopt when absent.
  std::optional<std::size_t> indexOfKey(std::string_view key) const { return keys_.find(key); }
  // index must be below count().
  std::string_view keyAtIndex(std::size_t index) const;
  // The value of keyAtIndex(index), without a lookup; index must be below count().
  const platform::Value& objectAtIndex(std::size_t index) const;

  // The keys in order (allKeys), and enumerators over them: copies, so that
  // the dictionary may change while one is walked.
  std::vector<std::string> allKeys() const;
  std::vector<std::string> keyEnumerator() const { return allKeys(); }
  std::vector<std::string> reverseKeyEnumerator() const;

  // The text form: "{", one "key = value;" line per pair, "}", each line
  // ended by a line feed and indented by four spaces per level. Keys and
  // values print at this same level.
  std::string descriptionWithLocale(const std::optional<std::string>& locale,
                                    std::size_t level) const;

 private:
  // The keys again, with the one at index left out.
  platform::TextSet keysWithout(std::size_t index) const;

  // The keys in order, each found by its text, and the value of each at the
  // same index: a long list is a few blocks, not a node per pair.
  platform::TextSet keys_;
  std::vector<platform::Value> values_;
};

// The text form of one key or value: a string is itself; a collection prints
// its description at the indent level; anything else its description.
std::string DescriptionForObject(const platform::Value& object,
                                 const std::optional<std::string>& locale, std::size_t indent);

}  // namespace mornaqprefs
