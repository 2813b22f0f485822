#pragma once
// Property-list bytes <-> values. Reads XML and binary property lists; writes
// Apple's XML plist 1.0 format with dictionary keys sorted, as Apple's writer
// does. libplist does the format; this layer guards it: nesting deeper than
// 512 levels, an excessive count of character entities, junk numbers or dates
// make the input malformed; numbers are read independently of the locale; a
// UTF-8 byte-order mark is skipped.
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace platform {

// nullopt when the bytes are not a well-formed property list.
std::optional<Value> parsePropertyList(std::string_view bytes);

// The XML form of a value (host object handles are not representable and are
// left out). Never fails for values that parsePropertyList can produce.
std::string serializePropertyList(const Value& root);

}  // namespace platform
