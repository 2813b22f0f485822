#pragma once
// Property-list bytes <-> values. Reads XML and binary property lists; writes
// Apple's XML plist 1.0 format with dictionary keys sorted, as Apple's writer
// does. libplist reads the formats; this layer guards it (plist_guards.h):
// nesting deeper than 512 levels, character entities that would take libplist
// too long to decode, junk numbers or dates make the input malformed; integers
// are read as the phone reads them; numbers are read independently of the
// locale; a UTF-8 byte-order mark is skipped. The writer is this layer's own
// (xml_plist_writer.cpp).
#include <string>
#include <string_view>

#include "platform/foundation/result.h"
#include "platform/foundation/value.h"

namespace platform {

// The value the bytes hold; fails when they are not a well-formed property list, saying why as
// precisely as can be had: "line 12: <dict> not closed" for XML, which object is damaged and how
// for a binary list, "it is empty", ...
Result<Value> parsePropertyList(std::string_view bytes);

// The XML form of a value, which parsePropertyList reads back equal. Nil and
// host object handles have no property-list form: inside a collection their
// entries are left out, and as the root they give an empty text. What XML
// cannot say is the only loss: dates are written in whole seconds (floored)
// with four-digit years, pinned to years 1 to 9999. Strings and keys keep NUL
// characters, raw as Apple's writer leaves them; -0.0, the
// infinities and NaN keep their sign and kind. Never fails for values that
// parsePropertyList can produce; nesting deeper than 512 levels, which it could
// not read back, is a programming error and stops the program.
std::string serializePropertyList(const Value& root);

}  // namespace platform
