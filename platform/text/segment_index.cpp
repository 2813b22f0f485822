#include "platform/text/segment_index.h"

#include <algorithm>

namespace platform::text {

SegmentIndex::SegmentIndex(const WordSegments& text) {
  text_.reserve(text.all().size());
  for (const FoldedText& segment : text.all()) {
    const auto [entry, added] =
        numberOf_.try_emplace(segment.utf8(), static_cast<std::uint32_t>(positions_.size()));
    if (added) positions_.emplace_back();
    positions_[entry->second].push_back(text_.size());
    text_.push_back(entry->second);
  }
}

bool SegmentIndex::contains(const WordSegments& run) const {
  std::vector<std::uint32_t> wanted;
  for (const FoldedText& segment : run.all()) {
    const auto found = numberOf_.find(segment.utf8());
    if (found == numberOf_.end()) return false;  // a segment the text does not have
    wanted.push_back(found->second);
  }
  if (wanted.empty()) return false;
  // Where the run's rarest segment occurs are the only places the run can be.
  const auto rarest = std::min_element(wanted.begin(), wanted.end(), [&](auto a, auto b) {
    return positions_[a].size() < positions_[b].size();
  });
  const auto offset = static_cast<std::size_t>(rarest - wanted.begin());
  for (const std::size_t at : positions_[*rarest]) {
    if (at < offset || at - offset + wanted.size() > text_.size()) continue;
    const auto start = text_.begin() + static_cast<std::ptrdiff_t>(at - offset);
    if (std::equal(wanted.begin(), wanted.end(), start)) return true;
  }
  return false;
}

}  // namespace platform::text
