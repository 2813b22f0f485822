#pragma once
// Texts cut into words as Unicode cuts them (ICU's word break iterator), with
// its dictionaries for the scripts written without spaces (Thai, Japanese,
// Chinese, Khmer, Lao, Burmese): "東京都に行きます" is 東京 都 に 行き ます.
// Every piece between two word boundaries is a segment: a word ("don't" and
// "3.14" are one each), a punctuation mark, an emoji. White space is dropped.
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/text/text.h"

namespace platform::text {

// A text's segments in order, each folded, so that two segments are equal
// when they differ only in case or in canonically equivalent spelling.
class WordSegments {
 public:
  std::span<const FoldedText> all() const { return segments_; }

  // Whether this text's segments, and start's, begin alike once the leading
  // punctuation of each is left out ("¡Hi there" begins with "hi", "Hire me"
  // does not). Nothing begins with a start of no words.
  bool beginsWith(const WordSegments& start) const;

 private:
  friend class WordSegmenter;
  std::span<const FoldedText> afterLeadingPunctuation() const;

  std::vector<FoldedText> segments_;
  std::size_t leadingPunctuation_ = 0;  // segments of punctuation alone, first
};

// Cuts texts into segments. Making one costs far more than cutting a short
// text, so one serves many texts (one at a time: it is not thread-safe).
class WordSegmenter {
 public:
  WordSegmenter();
  ~WordSegmenter();
  WordSegmenter(const WordSegmenter&) = delete;
  WordSegmenter& operator=(const WordSegmenter&) = delete;

  // Cuts the canonical composition of text, so that canonically equivalent
  // texts are cut alike.
  WordSegments segments(std::string_view text);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::text
