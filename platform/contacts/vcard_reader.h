#pragma once
// Reads the cards of a vCard 2.1, 3.0 (RFC 2426) or 4.0 (RFC 6350) file as
// phones and mail programs export them: the
// properties an address book needs (N, FN, TEL, UID), nothing else.
// Handled: folded lines (2.1 keeps the blank that folds a line, later
// versions drop it), quoted-printable values with soft line breaks, CHARSET
// parameters, bare parameters ("TEL;CELL;PREF:"), grouped properties
// ("item1.TEL"), escaped characters, a byte-order mark, and line ends of LF,
// CR LF, CR, or CRs before an LF (as mail transfers leave CR CR LF).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

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
  // 64-bit FNV-1a of the card's unfolded lines joined by line feeds: the same
  // card gives the same hash whatever its line ends and folding.
  std::uint64_t contentHash = 0;
};

// The well-formed cards of text, in file order, handed to visit one at a time,
// each as soon as it is read, so that a long address book is never held whole;
// visit may take from the card. A malformed card (no END:VCARD, a line that is
// no property, a value that is not in its charset, an unknown charset, a
// version other than 2.1, 3.0 or 4.0) is skipped with a log line naming
// source, the card's first line and why: "Contacts: skipped the card at line 7
// of book.vcf: line 10: the line is not a property".
// Fails, with the reason, when the text holds something but not one card can
// be read from it: UTF-16 or binary bytes, lines outside any card ("line 1:
// outside any card (no BEGIN:VCARD)"), or malformed cards only (the first one's
// reason, "line 3: the file ends before END:VCARD"). An empty text holds no card
// and is read.
Result<> forEachVCard(std::string_view text, std::string_view source,
                      const std::function<void(VCard&)>& visit);

}  // namespace platform::contacts
