#include "platform/foundation/text_list.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <utility>

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

namespace {

constexpr std::size_t kFewestSlots = 16;

}  // namespace

TextSet::TextSet(std::size_t expected) {
  texts_.reserve(expected);
  resize(std::bit_ceil(std::max<std::size_t>(2 * expected, kFewestSlots)));
}

std::uint32_t TextSet::hashOf(std::string_view text) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
}

bool TextSet::insert(std::string_view text) {
  if (slots_.empty()) resize(kFewestSlots);  // moved from
  const auto hash = hashOf(text);
  Slot& slot = slots_[slotOf(text, hash)];
  if (slot.index != 0) return false;
  if (size() >= std::numeric_limits<std::uint32_t>::max() / 2) {
    fatal("a set of texts cannot hold more than 2^31 of them");
  }
  texts_.push_back(text);
  slot = {hash, static_cast<std::uint32_t>(size())};
  if (2 * size() > slots_.size()) resize(2 * slots_.size());
  return true;
}

std::optional<std::size_t> TextSet::find(std::string_view text) const {
  if (slots_.empty()) return std::nullopt;  // moved from
  const Slot& slot = slots_[slotOf(text, hashOf(text))];
  if (slot.index == 0) return std::nullopt;
  return slot.index - 1;
}

std::size_t TextSet::slotOf(std::string_view text, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.index == 0 || (slot.hash == hash && texts_[slot.index - 1] == text)) return at;
  }
}

void TextSet::resize(std::size_t slots) {
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(slots, Slot{0, 0}));
  const std::size_t mask = slots - 1;
  for (const Slot& slot : old) {
    if (slot.index == 0) continue;
    std::size_t at = slot.hash & mask;
    while (slots_[at].index != 0) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace platform
