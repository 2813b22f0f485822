#pragma once
// The one reader and the one writer of property-list files. Paths are device
// paths ("/var/mobile/Library/Preferences/x.plist"), mapped through the
// current process's device root.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"
#include "platform/foundation/value.h"

namespace platform {

// The whole file as a dictionary (dictionaryWithContentsOfFile:). Fails, with
// the reason, when it is missing (the failure's code is then
// no_such_file_or_directory), unreadable, malformed (the reason is then
// parsePropertyList's: "line 12: <dict> not closed"), not a dictionary at its
// root or outside the device root.
Result<Dictionary> readPlistIfPresent(std::string_view devicePath);

// The same, with empty standing in for a failure.
Dictionary readPlist(std::string_view devicePath);

// The same again, shared rather than copied: the reading process's cached copy, which stays as it
// is while held. For readers of large files on a hot path.
std::shared_ptr<const Dictionary> readPlistShared(std::string_view devicePath);

// Read-modify-write under an exclusive advisory lock on a sibling lock file:
// reads the file (empty when missing), applies change, writes Apple's XML
// format to a temporary file in the same folder, flushes it, renames it over
// the target and unlocks. Missing folders are created. An existing file that
// cannot be parsed as a dictionary is first moved aside to "<name>.malformed-<n>"
// (n one above the newest such copy's; the three newest are kept), and a log
// line says where and why ("moved unreadable settings file <path> aside to
// <path>.malformed-<n>: line 12: <dict> not closed"); one that cannot be read
// at all (a folder, say) is left
// alone and the update fails. Temporary files beside it that writers which died
// mid-write left are removed. Fails with the reason when the write
// failed (the caller logs it); the old file then stays. A change that returns false means "write
// nothing", which succeeds. The lock file "<name>.lock" stays beside the file.
using PlistChange = std::function<bool(Dictionary&)>;
Result<> updatePlist(std::string_view devicePath, const PlistChange& change);

// Creates the file from the seed file's bytes, as they are, when it is still
// missing, under updatePlist's lock: written whole to a temporary file and
// renamed into place, so that neither an update at the same moment nor a
// reader sees a part of it or loses a change. True when it created the file,
// false when the file was there; fails, creating nothing, when the seed cannot
// be read (a missing seed, say) or the write failed.
Result<bool> seedPlistIfMissing(std::string_view devicePath, std::string_view seedDevicePath);

}  // namespace platform
