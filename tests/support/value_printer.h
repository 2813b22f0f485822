#pragma once
// Failure messages show property-list values as "%@" prints them, not as
// their bytes: GoogleTest finds this printer beside platform::Value.
#include <ostream>

#include "platform/foundation/value.h"

namespace platform {
inline void PrintTo(const Value& value, std::ostream* out) { *out << value.description(); }
}  // namespace platform
