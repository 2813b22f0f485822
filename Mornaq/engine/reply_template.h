#pragma once
// A reply template becomes the text that is sent: one of its alternatives,
// its placeholders filled in.
#include <string>
#include <string_view>
#include <vector>

#include "Mornaq/host/host_interface.h"

namespace mornaq {

// What a template's placeholders stand for.
struct ReplyPlaceholders {
  host::Text name{};    // ":name:" the chat's display name; ":firstname:" its first word
  std::string until{};  // ":until:" when the schedule stops answering
};

// The alternatives ":or:" separates, the white space around each ":or:"
// dropped and empty ones left out; the template itself when it has no
// alternatives, and the busy text when every alternative is empty.
std::vector<std::string> replyAlternatives(std::string_view replyTemplate);

// ":newline:" becomes a line feed; then ":name:", ":firstname:" and
// ":until:" become what they stand for, in one pass, so that an inserted text
// is left as it reads. Every placeholder is matched exactly, case included.
std::string expandReplyTemplate(std::string_view replyTemplate,
                                const ReplyPlaceholders& placeholders);

// The first word of a display name (up to the first white space); a name
// that starts with "+" or a digit is a phone number, used whole.
std::string firstName(std::string_view displayName);

}  // namespace mornaq
