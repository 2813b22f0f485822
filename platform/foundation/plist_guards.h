#pragma once
// Checks run on property-list bytes before libplist 2.2.0 sees them, for what it does not guard
// itself: it follows nesting and references recursively (some ten thousand levels overflow the
// stack, and a binary list that shares containers expands exponentially), it decodes character
// entities in time that grows with their count times the length of their text, and it accepts
// junk numbers and dates silently. Bytes that fail a check are malformed.
#include <string_view>

namespace platform {

// Arrays and dictionaries inside each other, the root counting as one.
constexpr int kMaxPropertyListNesting = 512;

// XML: nesting within the limit; entity decoding bounded (see xml_plist_guard.cpp); the text of
// every <integer>, <real> and <date> element one that libplist reads correctly.
bool isSafeXmlPropertyList(std::string_view xml);

// Binary ("bplist00"): offsets and references within the bytes, no reference cycles, nesting
// within the limit, and at most two nodes per byte once shared objects are expanded (a list
// without shared containers never has more than one).
bool isSafeBinaryPropertyList(std::string_view bytes);

}  // namespace platform
