#pragma once
// Text comparison as the phone does it: case-insensitive operations fold case
// fully and treat canonically equivalent strings as equal; sorting by name is
// locale-aware and case-insensitive. Texts are UTF-8.
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::text {

// rangeOfString:options:NSCaseInsensitiveSearch found something. An empty
// needle is found in nothing.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

// caseInsensitiveCompare: answered NSOrderedSame.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The canonical composition (NFC) of text: canonically equivalent texts have
// the same one, and it keeps a letter and its accents one character.
std::string composed(std::string_view text);

// A text folded once (full case folding, then canonical decomposition), for
// many case-insensitive comparisons without folding it again each time.
class FoldedText {
 public:
  explicit FoldedText(std::string_view text);

  // containsIgnoringCase(this text, needle's text).
  bool contains(const FoldedText& needle) const;
  // equalsIgnoringCase(this text, other's text).
  bool operator==(const FoldedText& other) const = default;
  // The folded form itself, for keys of a map: equal exactly when the texts are.
  const std::string& utf8() const { return folded_; }

 private:
  friend std::vector<bool> containedIn(const FoldedText&, std::span<const FoldedText>);
  std::string folded_;  // UTF-8, whose matches all begin and end between characters
};

// For each needle, whether haystack.contains(needle), in time linear in the
// haystack's length plus the needles' total length: one text against many
// words.
std::vector<bool> containedIn(const FoldedText& haystack, std::span<const FoldedText> needles);

// localizedCaseInsensitiveCompare: for the user's locale.
class NameCollator {
 public:
  // locale: an ICU locale name; empty for the user's default locale.
  explicit NameCollator(const std::string& locale = "");
  ~NameCollator();
  NameCollator(const NameCollator&) = delete;
  NameCollator& operator=(const NameCollator&) = delete;

  // Negative, zero or positive, as a < b, a == b, a > b.
  int compare(std::string_view a, std::string_view b) const;
  // Appends to keys the key of name, whose byte order is the collation
  // order, for sorting many names: one buffer can hold the keys of all.
  void appendSortKey(std::string_view name, std::string& keys) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::text
