#pragma once
// Regular expressions in RE2's syntax (https://github.com/google/re2/wiki/Syntax),
// found anywhere in a text, ignoring case. Whatever the pattern, matching
// takes time linear in the text's length: RE2 has no backtracking, so a
// pattern such as "(a+)+$" cannot stall the app. Texts are UTF-8.
//
// Case is ignored character by character (RE2's simple case folding: "é"
// matches "É", but "ß" does not match "SS"); the pattern and the text are
// both canonically composed, so canonically equivalent spellings match alike.
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace re2 {
class RE2;
}

namespace platform::text {

// A text made ready once for any number of patterns.
class PatternSubject {
 public:
  explicit PatternSubject(std::string_view text);

 private:
  friend class Pattern;
  std::string composed_;
};

class Pattern {
 public:
  // The pattern source describes, or why it describes none, in RE2's words
  // ("missing )", "invalid escape sequence: \q"). The settings pages check a
  // pattern the user types with it too.
  static Result<Pattern> compile(std::string_view source);

  Pattern(Pattern&&) noexcept;
  Pattern& operator=(Pattern&&) noexcept;
  ~Pattern();

  // Whether the pattern matches somewhere in text.
  bool foundIn(const PatternSubject& text) const;

 private:
  explicit Pattern(std::unique_ptr<re2::RE2> compiled);
  std::unique_ptr<re2::RE2> compiled_;
};

}  // namespace platform::text
