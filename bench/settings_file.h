#pragma once
// A benchmark's settings files, written whole before it measures.
#include <string_view>

#include "platform/foundation/value.h"

namespace bench {

// Replaces the settings file at devicePath under the current process's device
// root with content, through the locked update; stops when it cannot.
void writeSettingsFile(std::string_view devicePath, platform::Dictionary content);

}  // namespace bench
