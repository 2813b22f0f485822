#include "platform/text/text.h"

#include <gtest/gtest.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::text::containsIgnoringCase;
using platform::text::equalsIgnoringCase;

struct TextCase {
  const char* haystack;
  const char* needle;
  bool contains;
  bool equal;
};

TEST(TextTest, CaseInsensitiveSearchAndEquality) {
  const TextCase cases[] = {
      {"THIS", "hi", true, false},
      {"Oh hi there", "hi", true, false},
      {"hi", "HI", true, true},
      {"Nothing this week", "hi", true, false},
      {"straße", "STRASSE", true, true},        // full case folding
      {"caf\u00e9", "cafe\u0301", true, true},  // composed and decomposed é
      {"Ärger", "ä", true, false},
      {"café", "cafe", false, false},  // an accent is part of its letter
      {"café au lait", "CAFÉ", true, false},
      {"hello", "", false, false},  // an empty text is found in nothing
      {"", "", false, true},
      {"abc", "abd", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.haystack) + " / " + c.needle);
    EXPECT_EQ(containsIgnoringCase(c.haystack, c.needle), c.contains);
    EXPECT_EQ(equalsIgnoringCase(c.haystack, c.needle), c.equal);
  }
}

// Texts made of pieces where folding and canonical equivalence matter.
std::string generatedText(std::mt19937& random, std::size_t pieces) {
  static const std::vector<std::string> kPieces = {
      "a", "b",      "e",      "\u00e9",  "e\u0301", "\u0301", "\u00df", "SS",        "s",
      "K", "\u212a", "\u0130", "i\u0307", "\ufb00",  "f",      " ",      "\U0001F600"};
  std::string text;
  for (std::size_t i = 0; i < pieces; ++i) text += kPieces[random() % kPieces.size()];
  return text;
}

icu::UnicodeString icuFolded(const std::string& text) {
  icu::UnicodeString s = icu::UnicodeString::fromUTF8(text);
  s.foldCase(U_FOLD_CASE_DEFAULT);
  UErrorCode status = U_ZERO_ERROR;
  return icu::Normalizer2::getNFDInstance(status)->normalize(s, status);
}

// Searching one word as ICU does it: every occurrence, until one ends on a character boundary.
bool icuContains(const icu::UnicodeString& text, const std::string& needle) {
  const icu::UnicodeString wanted = icuFolded(needle);
  if (wanted.isEmpty()) return false;
  for (int32_t at = text.indexOf(wanted); at >= 0; at = text.indexOf(wanted, at + 1)) {
    const int32_t end = at + wanted.length();
    if (end >= text.length() || u_getCombiningClass(text.char32At(end)) == 0) return true;
  }
  return false;
}

// Short texts against a few words are searched word by word, long ones against many in one pass;
// both must find exactly what ICU's own search finds.
TEST(TextTest, SearchingManyWordsAtOnceFindsWhatSearchingEachFinds) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 40; ++trial) {
    const bool many = trial % 2;
    const std::string haystack = generatedText(random, many ? 2000 : 1 + random() % 12);
    const icu::UnicodeString icuHaystack = icuFolded(haystack);
    const platform::text::FoldedText folded(haystack);
    std::vector<std::string> words;
    std::vector<platform::text::FoldedText> foldedWords;
    for (int i = 0; i < (many ? 150 : 4); ++i) {
      words.push_back(generatedText(random, random() % 4));
      foldedWords.emplace_back(words.back());
    }
    const std::vector<bool> found = platform::text::containedIn(folded, foldedWords);
    for (std::size_t i = 0; i < words.size(); ++i) {
      SCOPED_TRACE("trial " + std::to_string(trial) + ", word " + words[i]);
      EXPECT_EQ(found[i], icuContains(icuHaystack, words[i]));
      EXPECT_EQ(folded.contains(foldedWords[i]), found[i]);
    }
  }
}

TEST(TextTest, NamesSortIgnoringCaseAndByTheLocale) {
  platform::text::NameCollator collator("en_US");
  std::vector<std::string> names = {"bob", "Carol", "Alice", "émile", "Eve", "dave"};
  std::sort(names.begin(), names.end(),
            [&](const auto& a, const auto& b) { return collator.compare(a, b) < 0; });
  EXPECT_EQ(names, (std::vector<std::string>{"Alice", "bob", "Carol", "dave", "émile", "Eve"}));
  EXPECT_EQ(collator.compare("alice", "ALICE"), 0);
  const auto keyOf = [&collator](std::string_view name) {
    std::string key = "kept";  // a key is appended to what the buffer holds
    collator.appendSortKey(name, key);
    return key;
  };
  EXPECT_LT(keyOf("Alice"), keyOf("bob"));
  EXPECT_EQ(keyOf("alice"), keyOf("ALICE"));
}

}  // namespace
