#include "tools/replay/text_marks.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace tools::replay {
namespace {

bool isDirectionMark(UChar32 c) {
  return c == 0x200E || c == 0x200F ||    // left-to-right and right-to-left marks
         (c >= 0x202A && c <= 0x202E) ||  // embeddings and overrides
         (c >= 0x2066 && c <= 0x2069) ||  // isolates
         c == 0xFEFF;                     // byte-order mark
}

bool isSpaceOrMark(UChar32 c) { return u_isUWhiteSpace(c) || isDirectionMark(c); }

const std::uint8_t* bytesOf(std::string_view text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// The length of text without the characters at its start that skip keeps.
template <class Skip>
std::size_t skippedFromStart(std::string_view text, Skip skip) {
  const auto length = static_cast<std::int32_t>(text.size());
  std::int32_t i = 0;
  while (i < length) {
    std::int32_t next = i;
    UChar32 c;
    U8_NEXT(bytesOf(text), next, length, c);
    if (c < 0 || !skip(c)) break;
    i = next;
  }
  return static_cast<std::size_t>(i);
}

}  // namespace

std::string_view withoutLeadingMarks(std::string_view text) {
  return text.substr(
      skippedFromStart(text, [](UChar32 c) { return c == 0xFEFF || c == 0x200E || c == 0x200F; }));
}

std::string_view trimmed(std::string_view text) {
  return trimmedAtEnd(text.substr(skippedFromStart(text, isSpaceOrMark)));
}

std::string_view trimmedAtEnd(std::string_view text) {
  auto end = static_cast<std::int32_t>(text.size());
  while (end > 0) {
    std::int32_t previous = end;
    UChar32 c;
    U8_PREV(bytesOf(text), 0, previous, c);
    if (c < 0 || !isSpaceOrMark(c)) break;
    end = previous;
  }
  return text.substr(0, static_cast<std::size_t>(end));
}

bool isValidUtf8(std::string_view bytes) {
  const auto length = static_cast<std::int32_t>(bytes.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytesOf(bytes), i, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::string validUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  const auto length = static_cast<std::int32_t>(bytes.size());
  for (std::int32_t i = 0; i < length;) {
    const std::int32_t start = i;
    UChar32 c;
    U8_NEXT(bytesOf(bytes), i, length, c);
    if (c < 0) {
      // One replacement character per byte that is not part of a character.
      text.append("\uFFFD");
      i = start + 1;
    } else {
      text.append(bytes.substr(start, i - start));
    }
  }
  return text;
}

}  // namespace tools::replay
