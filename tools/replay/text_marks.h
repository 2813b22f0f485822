#pragma once
// The invisible characters the messaging app writes into a chat export: a
// byte-order mark at its start, left-to-right marks in front of lines, texts
// and attachments, direction marks and no-break spaces around names.
#include <string>
#include <string_view>

namespace tools::replay {

// The left-to-right mark (U+200E) the phone writes in front of its own texts.
inline constexpr std::string_view kLeftToRightMark = "\u200E";

// text without the byte-order and direction marks in front of it.
std::string_view withoutLeadingMarks(std::string_view text);

// text without white space and direction marks at either end.
std::string_view trimmed(std::string_view text);
// text without white space and direction marks at its end.
std::string_view trimmedAtEnd(std::string_view text);

// bytes as UTF-8: each byte that is not part of a well-formed character
// becomes U+FFFD, the replacement character.
std::string validUtf8(std::string_view bytes);

// Whether bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

}  // namespace tools::replay
