#include "platform/text/trim.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace platform::text {
namespace {

bool isSpaceOrPunctuation(UChar32 c) { return u_isUWhiteSpace(c) || u_ispunct(c); }

}  // namespace

std::string_view trimSpaceAndPunctuation(std::string_view text) {
  const auto length = static_cast<int32_t>(text.size());
  int32_t start = 0;
  while (start < length) {
    int32_t next = start;
    UChar32 c = 0;
    U8_NEXT(text.data(), next, length, c);
    if (!isSpaceOrPunctuation(c)) break;
    start = next;
  }
  int32_t end = length;
  while (end > start) {
    int32_t previous = end;
    UChar32 c = 0;
    U8_PREV(text.data(), start, previous, c);
    if (!isSpaceOrPunctuation(c)) break;
    end = previous;
  }
  return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

}  // namespace platform::text
