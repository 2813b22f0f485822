#pragma once
// A benchmark's settings files, written whole before it measures.
#include <string_view>

#include "platform/foundation/value.h"

namespace bench {

// Replaces the settings file at devicePath under the current process's device
// root with content, through the locked update; stops when it cannot.
void writeSettingsFile(std::string_view devicePath, platform::Dictionary content);

// Makes the current process read every settings file afresh from now on, as
// every read did before the read cache: what the cache is measured against. A
// process that can have no inotify instance when it first reads a file reads
// every file afresh (platform/foundation/plist_cache.h), so its first read is
// made while it can open no descriptor at all. Stops when the process has read
// through the cache already.
void readEveryFileAfresh();

}  // namespace bench
