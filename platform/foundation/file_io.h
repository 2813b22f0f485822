#pragma once
// The POSIX file operations under the property-list file layer. A failure carries the system's
// code, and its text (strerror's) as the reason.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace platform {

// The whole content of a regular file. A missing file fails with errc::no_such_file_or_directory;
// a folder with errc::is_a_directory; any other kind of file with errc::invalid_argument.
Result<std::string> readWholeFile(const std::filesystem::path& path);

// An exclusive advisory lock (flock) on a file, held until destruction (lockExclusively).
// Locks taken through separate instances exclude each other, in one process or in several.
class ExclusiveFileLock {
 public:
  ~ExclusiveFileLock();
  ExclusiveFileLock(ExclusiveFileLock&& other) noexcept;
  ExclusiveFileLock& operator=(ExclusiveFileLock&&) = delete;

 private:
  friend Result<ExclusiveFileLock> lockExclusively(const std::filesystem::path& path);
  explicit ExclusiveFileLock(int descriptor) : descriptor_(descriptor) {}
  int descriptor_;
};

// Waits for the lock on path, a file created when missing.
Result<ExclusiveFileLock> lockExclusively(const std::filesystem::path& path);

// Replaces target by a file holding content (mode 0644), so that a reader sees the old file or
// the new one, never a part: a temporary file in the same folder is written, flushed to disk and
// renamed over the target, then the folder is flushed. On failure the temporary file is removed
// and the target stays as it was.
Result<> replaceFileAtomically(const std::filesystem::path& target, std::string_view content);

// Removes the temporary files of replaceFileAtomically for target that are still there because
// their writer died before renaming them. Only for a caller holding a lock that every writer of
// target holds while it writes: no live writer then owns one.
void removeLeftoverTemporaries(const std::filesystem::path& target);

}  // namespace platform
