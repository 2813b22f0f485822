#pragma once
// A text's word segments indexed to find many runs of segments in it: each
// search costs in proportion to how often the run's rarest segment occurs,
// not to the text's length, so one long message serves many rules.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/text/word_segments.h"

namespace platform::text {

class SegmentIndex {
 public:
  explicit SegmentIndex(const WordSegments& text);

  // Whether run's segments occur in the text one after the other ("hi" in
  // "Hi! how are you", not in "this"). An empty run occurs nowhere.
  bool contains(const WordSegments& run) const;

 private:
  // Each distinct folded segment is a number; the text is its numbers in order.
  std::unordered_map<std::string, std::uint32_t> numberOf_;
  std::vector<std::uint32_t> text_;
  std::vector<std::vector<std::size_t>> positions_;  // by number, where it occurs
};

}  // namespace platform::text
