#pragma once
// The edges of a text that carry no words: white space (Unicode's White_Space)
// and punctuation (general category P: "!", "¿", "…", "、" ...). Texts are UTF-8.
#include <string_view>

namespace platform::text {

// text without the white space and punctuation at its start and its end; empty
// when it holds nothing else.
std::string_view trimSpaceAndPunctuation(std::string_view text);

}  // namespace platform::text
