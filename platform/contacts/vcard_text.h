#pragma once
// The text of a vCard property value as the card wrote it, turned into
// UTF-8: quoted-printable undone, the CHARSET converted, escapes undone.
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace platform::contacts {

// How a property's value is written, from its parameters.
struct TextCoding {
  bool quotedPrintable = false;  // ENCODING=QUOTED-PRINTABLE, or the bare parameter
  std::string_view charset;      // the CHARSET parameter; empty when it has none
  // vCard 2.1 has no default charset: text without one that is not UTF-8 is
  // taken as Windows-1252, which is what exporters then wrote. Later versions
  // are UTF-8 only.
  bool legacyDefault = false;
};

// The decoded, unescaped text of one value or one component of a structured
// value; a failure names what made it unreadable.
Result<std::string> decodedText(std::string_view raw, const TextCoding& coding);

// bytes in the coding's charset, as UTF-8; parameter texts are never
// quoted-printable.
Result<std::string> utf8Of(std::string bytes, const TextCoding& coding);

// RFC 6350 §3.4: \\, \n or \N, \, and \; stand for themselves; an unknown
// escape keeps its character.
std::string unescaped(std::string_view text);

}  // namespace platform::contacts
