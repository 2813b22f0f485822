#include "platform/text/word_segments.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

#include "platform/process/process.h"
#include "platform/text/trim.h"

namespace platform::text {
namespace {

bool isWhiteSpace(const icu::UnicodeString& segment) {
  for (int32_t at = 0; at < segment.length(); at = segment.moveIndex32(at, 1)) {
    if (!u_isUWhiteSpace(segment.char32At(at))) return false;
  }
  return true;
}

}  // namespace

std::span<const FoldedText> WordSegments::afterLeadingPunctuation() const {
  return all().subspan(leadingPunctuation_);
}

bool WordSegments::beginsWith(const WordSegments& start) const {
  const auto text = afterLeadingPunctuation(), wanted = start.afterLeadingPunctuation();
  return !wanted.empty() && wanted.size() <= text.size() &&
         std::equal(wanted.begin(), wanted.end(), text.begin());
}

struct WordSegmenter::Impl {
  icu::UnicodeString text;  // what words cuts: it reads the text where it lies, so it outlives it
  std::unique_ptr<icu::BreakIterator> words;
};

WordSegmenter::WordSegmenter() : impl_(std::make_unique<Impl>()) {
  UErrorCode status = U_ZERO_ERROR;
  // The root locale's rules: a message's language is not known, and the
  // dictionaries serve every language of their script.
  impl_->words.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status) || !impl_->words) fatal("no word break iterator: ICU's data is missing");
}

WordSegmenter::~WordSegmenter() = default;

WordSegments WordSegmenter::segments(std::string_view text) {
  const std::string canonical = composed(text);
  const icu::UnicodeString& s = impl_->text =
      icu::UnicodeString::fromUTF8(icu::StringPiece(canonical.data(), canonical.size()));
  icu::BreakIterator& words = *impl_->words;
  words.setText(s);
  WordSegments result;
  bool leading = true;
  int32_t start = words.first();
  for (int32_t end = words.next(); end != icu::BreakIterator::DONE;
       start = end, end = words.next()) {
    const icu::UnicodeString segment = s.tempSubStringBetween(start, end);
    // A letter, number, kana or ideograph; else white space, punctuation, a symbol or an emoji.
    const bool isWord = words.getRuleStatus() >= UBRK_WORD_NONE_LIMIT;
    if (!isWord && isWhiteSpace(segment)) continue;
    std::string utf8;
    segment.toUTF8String(utf8);
    leading = leading && !isWord && trimSpaceAndPunctuation(utf8).empty();
    if (leading) ++result.leadingPunctuation_;
    result.segments_.emplace_back(utf8);
  }
  return result;
}

}  // namespace platform::text
