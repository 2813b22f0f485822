#pragma once
// The read cache behind readPlist: each process keeps the last parsed content of every
// property-list file it read, and parses a file again only when it may have changed since. It is
// invisible: a read returns exactly what reading the file afresh would (docs/architecture.md says
// how, and where that promise ends).
#include <filesystem>
#include <memory>

#include "platform/foundation/result.h"
#include "platform/foundation/value.h"

namespace platform {

// A file's parsed dictionary, shared by every reader until the file changes.
using PlistSnapshot = std::shared_ptr<const Dictionary>;
// The snapshot, or why the file gives none: it is missing, unreadable, malformed or not a
// dictionary at its root.
using PlistRead = Result<PlistSnapshot>;
using PlistReader = PlistRead (*)(const std::filesystem::path& file);

// The current process's read of file (a host path), from readAfresh when it may have changed.
// Safe to call from any thread of the process.
PlistRead readThroughCache(const std::filesystem::path& file, PlistReader readAfresh);

}  // namespace platform
