#pragma once
// The POSIX file operations under the property-list file layer, reporting failures as error
// codes (their message() is strerror's text).
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// The whole content of a regular file. A missing file gives errc::no_such_file_or_directory;
// a folder errc::is_a_directory; any other kind of file errc::invalid_argument.
std::error_code readWholeFile(const std::filesystem::path& path, std::string& content);

// An exclusive advisory lock (flock) on a file, created when missing, held until destruction.
// Locks taken through separate instances exclude each other, in one process or in several.
class ExclusiveFileLock {
 public:
  explicit ExclusiveFileLock(const std::filesystem::path& path);
  ~ExclusiveFileLock();
  ExclusiveFileLock(const ExclusiveFileLock&) = delete;
  ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

  // Why the lock could not be taken; empty when it is held.
  const std::error_code& error() const { return error_; }

 private:
  int descriptor_ = -1;
  std::error_code error_;
};

// Replaces target by a file holding content (mode 0644), so that a reader sees the old file or
// the new one, never a part: a temporary file in the same folder is written, flushed to disk and
// renamed over the target, then the folder is flushed. On failure the temporary file is removed
// and the target stays as it was.
std::error_code replaceFileAtomically(const std::filesystem::path& target,
                                      std::string_view content);

// Removes the temporary files of replaceFileAtomically for target that are still there because
// their writer died before renaming them. Only for a caller holding a lock that every writer of
// target holds while it writes: no live writer then owns one.
void removeLeftoverTemporaries(const std::filesystem::path& target);

}  // namespace platform
