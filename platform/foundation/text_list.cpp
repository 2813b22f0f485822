#include "platform/foundation/text_list.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>

#include "platform/runtime/runtime.h"

namespace platform {

void TextList::push_back(std::string_view text) {
  texts_.append(text);
  ends_.push_back(texts_.size());
}

std::string_view TextList::operator[](std::size_t index) const {
  const std::size_t start = index == 0 ? 0 : ends_[index - 1];
  return std::string_view(texts_).substr(start, ends_[index] - start);
}

TextSet::TextSet(std::size_t expected) {
  texts_.reserve(expected);
  hashes_.reserve(expected);
  resize(std::bit_ceil(std::max<std::size_t>(2 * expected, 16)));
}

bool TextSet::insert(std::string_view text) {
  const std::size_t hash = std::hash<std::string_view>{}(text);
  const std::size_t slot = slotOf(text, hash);
  if (slots_[slot] != 0) return false;
  if (size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
    fatal("a set of texts cannot hold more than 2^32 - 2 of them");
  }
  texts_.push_back(text);
  hashes_.push_back(hash);
  slots_[slot] = static_cast<std::uint32_t>(size());
  if (2 * size() > slots_.size()) resize(2 * slots_.size());
  return true;
}

std::size_t TextSet::slotOf(std::string_view text, std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0) return slot;
    const std::size_t index = held - 1;
    if (hashes_[index] == hash && texts_[index] == text) return slot;
  }
}

void TextSet::resize(std::size_t slots) {
  slots_.assign(slots, 0);
  const std::size_t mask = slots - 1;
  for (std::size_t index = 0; index < hashes_.size(); ++index) {
    std::size_t slot = hashes_[index] & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = static_cast<std::uint32_t>(index + 1);
  }
}

}  // namespace platform
