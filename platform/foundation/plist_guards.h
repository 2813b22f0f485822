#pragma once
// Checks run on property-list bytes before libplist 2.2.0 sees them, for what it does not guard
// itself: it follows nesting and references recursively (some ten thousand levels overflow the
// stack, and a binary list that shares containers expands exponentially), it decodes character
// entities in time that grows with their count times the length of their text, and it accepts
// junk numbers and dates silently. Bytes that fail a check are malformed.
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace platform {

// Arrays and dictionaries inside each other, the root counting as one.
constexpr int kMaxPropertyListNesting = 512;

// XML: nesting within the limit; entity decoding bounded (see xml_plist_guard.cpp); the text of
// every <real> and <date> element one that libplist reads correctly, and of every <integer> one
// that the phone's parser reads: white space around it, then an optional sign ("+" or "-") and
// white space, then decimal digits or "0x"/"0X" and hexadecimal digits (either case), leading
// zeros allowed ("007", "0x0010", "-0"), the value within [INT64_MIN, UINT64_MAX]. Refused: no
// digits ("", "-", "0x"), other characters ("12abc", "1.5", "1 2", an entity or a comment),
// values out of range. Hands on, for libplist, which reads "010" as octal, the same bytes with
// every integer written in plain decimal. Fails, with the line and what is wrong there, when a
// check fails.
Result<std::string> checkXmlPropertyList(std::string_view xml);

// Why libplist, which says nothing of why, read nothing from XML that passed the check: the first
// place where the text leaves the property-list grammar in a way libplist refuses (an element not
// closed, an unknown element, a value in a dictionary without its key, text outside any value,
// an "&" that begins no character reference, ...), as "line N: what"; empty when none is seen.
// It is sought only then, so that a text that reads pays nothing for it, and it decides nothing.
std::string flawInXmlPropertyList(std::string_view xml);

// Binary ("bplist00"): offsets and references within the bytes, no reference cycles, nesting
// within the limit, and at most two nodes per byte once shared objects are expanded (a list
// without shared containers never has more than one). Fails, saying which object is wrong and
// how, when a check fails.
Result<> checkBinaryPropertyList(std::string_view bytes);

}  // namespace platform
