#include "platform/text/word_segments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/text/segment_index.h"

namespace {

using platform::text::FoldedText;
using platform::text::SegmentIndex;
using platform::text::WordSegmenter;
using platform::text::WordSegments;

// The segments, folded, between bars.
std::string joined(const WordSegments& segments) {
  std::string text;
  for (const FoldedText& segment : segments.all())
    text += (text.empty() ? "" : "|") + segment.utf8();
  return text;
}

TEST(WordSegments, CutAtUnicodeWordBoundariesWithoutWhiteSpace) {
  struct Row {
    const char* text;
    const char* segments;  // folded like the segments
  };
  const std::vector<Row> rows = {
      {"Hi! how are you", "hi|!|how|are|you"},
      {"don't stop, don\u2019t", "don't|stop|,|don\u2019t"},  // apostrophes join
      {"I want\U0001F355 now\U0001F44D\U0001F3FD!", "i|want|\U0001F355|now|\U0001F44D\U0001F3FD|!"},
      {"\U0001F468\u200D\U0001F469\u200D\U0001F467\U0001F1EB\U0001F1F7",  // family, flag
       "\U0001F468\u200D\U0001F469\u200D\U0001F467|\U0001F1EB\U0001F1F7"},
      {"cafe\u0301 NOIR", "caf\u00e9|noir"},  // a decomposed accent stays with its letter
      {"\u00a1\u00bfQu\u00e9 tal?!", "\u00a1|\u00bf|qu\u00e9|tal|?|!"},
      {"  ...hi...\n", ".|.|.|hi|.|.|."},
      {"50% off at 3.14", "50|%|off|at|3.14"},
      {"", ""},
      {" \t\n\u3000", ""},
      // Scripts written without spaces, cut by ICU's dictionaries.
      {"\u6771\u4eac\u90fd\u306b\u884c\u304d\u307e\u3059",  // 東京都に行きます
       "\u6771\u4eac|\u90fd|\u306b|\u884c\u304d|\u307e\u3059"},
      {"\u6211\u60f3\u4e70\u4e00\u5f20\u53bb\u5317\u4eac\u7684\u7968",  // 我想买一张去北京的票
       "\u6211\u60f3|\u4e70|\u4e00\u5f20|\u53bb|\u5317\u4eac|\u7684|\u7968"},
      {"\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35\u0e04\u0e23\u0e31\u0e1a",  // สวัสดีครับ
       "\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35|\u0e04\u0e23\u0e31\u0e1a"},
  };
  WordSegmenter segmenter;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(joined(segmenter.segments(row.text)), FoldedText(row.segments).utf8());
  }
}

TEST(WordSegments, CanonicallyEquivalentTextsAreCutAlike) {
  // がっこう, with the voiced mark composed and decomposed.
  WordSegmenter segmenter;
  EXPECT_EQ(
      joined(segmenter.segments("\u304c\u3063\u3053\u3046\u306b\u884c\u304d\u307e\u3059")),
      joined(segmenter.segments("\u304b\u3099\u3063\u3053\u3046\u306b\u884c\u304d\u307e\u3059")));
}

// The plain way: the run compared at every position of the text.
bool containsRunComparingEverywhere(const WordSegments& text, const WordSegments& run) {
  const auto all = text.all(), wanted = run.all();
  return !wanted.empty() &&
         std::search(all.begin(), all.end(), wanted.begin(), wanted.end()) != all.end();
}

TEST(SegmentIndex, AgreesWithComparingEverywhereOverGeneratedTexts) {
  const std::vector<std::string> words = {"a", "B", "\u00e9", "E\u0301", "\u6771\u4eac", "!", " "};
  std::mt19937 random(7);
  const auto text = [&](std::size_t length) {
    std::string generated;
    for (std::size_t i = 0; i < length; ++i) generated += words[random() % words.size()] + " ";
    return generated;
  };
  WordSegmenter segmenter;
  for (int trial = 0; trial < 200; ++trial) {
    const WordSegments haystack = segmenter.segments(text(random() % 40));
    const SegmentIndex index(haystack);
    const WordSegments run = segmenter.segments(text(random() % 4));
    SCOPED_TRACE(joined(haystack) + " / " + joined(run));
    EXPECT_EQ(index.contains(run), containsRunComparingEverywhere(haystack, run));
  }
}

}  // namespace
