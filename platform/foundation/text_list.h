#pragma once
// Texts kept in a few blocks rather than an allocation each. A long list
// read one item at a time keeps what it learns beside items that come and
// go; an allocation of its own per item, spread between the items'
// short-lived memory, leaves the allocator's free lists in pieces and slows
// every allocation after it (at 100,000 contacts, most of a scan's time).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Texts in the order they were added, read back by their place.
class TextList {
 public:
  void push_back(std::string_view text);
  void reserve(std::size_t texts) { ends_.reserve(texts); }
  std::size_t size() const { return ends_.size(); }
  // index must be below size().
  std::string_view operator[](std::size_t index) const;

 private:
  std::string texts_;              // every text, one after another
  std::vector<std::size_t> ends_;  // where each text ends in texts_
};

// A set of texts, which also reads them back in the order they were added.
// A set moved from is empty and may be used again.
class TextSet {
 public:
  // Room for this many texts before the set grows.
  explicit TextSet(std::size_t expected = 0);

  // Adds text; false, changing nothing, when the set holds it already.
  bool insert(std::string_view text);
  // The index of text, in the order the texts were added; nullopt when absent.
  std::optional<std::size_t> find(std::string_view text) const;
  std::size_t size() const { return texts_.size(); }
  // index must be below size().
  std::string_view operator[](std::size_t index) const { return texts_[index]; }

 private:
  // Open addressing with linear probing over a power-of-two number of slots,
  // at least twice the number of texts. A slot keeps the low half of its
  // text's hash, which places the text and settles most comparisons without
  // a look at the text itself.
  struct Slot {
    std::uint32_t hash;
    std::uint32_t index;  // the text's index plus one; 0 when the slot is empty
  };

  static std::uint32_t hashOf(std::string_view text);
  // The slot holding text, or the empty slot where it would go.
  std::size_t slotOf(std::string_view text, std::uint32_t hash) const;
  void resize(std::size_t slots);

  TextList texts_;
  std::vector<Slot> slots_;
};

}  // namespace platform
