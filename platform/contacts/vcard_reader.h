#pragma once
// Reads the cards of a vCard 3.0 or 4.0 file (RFC 2426, RFC 6350): the
// properties an address book needs (N, FN, TEL, UID), nothing else. Folded
// lines, escaped characters, CRLF or LF line ends and a byte-order mark are
// handled; text is UTF-8.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::contacts {

struct VCardPhone {
  std::optional<std::string> type;  // the TYPE parameters, comma-separated
  std::string number;
};

struct VCard {
  std::optional<std::string> uid;
  std::optional<std::string> formattedName;      // FN
  std::optional<std::vector<std::string>> name;  // N: family, given, additional, prefixes, suffixes
  std::vector<VCardPhone> phones;                // TEL, in card order
  // The card's unfolded lines joined by line feeds: the same card gives the
  // same text whatever its line ends and folding.
  std::string content;
};

// The well-formed cards of text, in file order. A malformed card (no
// END:VCARD, a line that is no property, text that is not UTF-8, a version
// other than 3.0 or 4.0) is skipped with a log line naming source and line.
std::vector<VCard> readVCards(std::string_view text, std::string_view source);

}  // namespace platform::contacts
