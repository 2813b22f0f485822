#include "platform/foundation/file_io.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return descriptor_; }
  // Closes now, for callers that must know whether the close succeeded.
  std::error_code close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0 ? std::error_code() : lastError();
  }

 private:
  int descriptor_;
};

std::error_code readAll(int descriptor, std::size_t expectedSize, std::string& content) {
  std::string bytes(expectedSize + 1, '\0');  // one more, to notice a file that grew
  std::size_t length = 0;
  while (true) {
    if (length == bytes.size()) bytes.resize(2 * bytes.size());
    const auto count = ::read(descriptor, bytes.data() + length, bytes.size() - length);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    length += static_cast<std::size_t>(count);
  }
  bytes.resize(length);
  content = std::move(bytes);
  return {};
}

std::error_code writeAll(int descriptor, std::string_view content) {
  while (!content.empty()) {
    const auto count = ::write(descriptor, content.data(), content.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    content.remove_prefix(static_cast<std::size_t>(count));
  }
  return {};
}

std::error_code fillAndFlush(int descriptor, std::string_view content) {
  if (::fchmod(descriptor, 0644) != 0) return lastError();
  if (auto error = writeAll(descriptor, content)) return error;
  return ::fsync(descriptor) == 0 ? std::error_code() : lastError();
}

// Makes a rename durable. Best effort: once renamed, the new file is in place either way.
void flushFolder(const std::filesystem::path& folder) {
  const Descriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (descriptor.get() >= 0) ::fsync(descriptor.get());
}

}  // namespace

Result<std::string> readWholeFile(const std::filesystem::path& path) {
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  const Descriptor descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (descriptor.get() < 0) return systemFailure(lastError());
  struct stat info {};
  if (::fstat(descriptor.get(), &info) != 0) return systemFailure(lastError());
  if (S_ISDIR(info.st_mode)) return systemFailure(std::make_error_code(std::errc::is_a_directory));
  if (!S_ISREG(info.st_mode)) {
    return systemFailure(std::make_error_code(std::errc::invalid_argument));
  }
  std::string content;
  const auto error = readAll(descriptor.get(), static_cast<std::size_t>(info.st_size), content);
  if (error) return systemFailure(error);
  return content;
}

Result<ExclusiveFileLock> lockExclusively(const std::filesystem::path& path) {
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor < 0) return systemFailure(lastError());
  ExclusiveFileLock lock(descriptor);
  while (::flock(descriptor, LOCK_EX) != 0) {
    if (errno != EINTR) return systemFailure(lastError());  // the lock closes the file
  }
  return lock;
}

ExclusiveFileLock::ExclusiveFileLock(ExclusiveFileLock&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)) {}

ExclusiveFileLock::~ExclusiveFileLock() {
  if (descriptor_ >= 0) ::close(descriptor_);  // closing releases the lock
}

namespace {

// A temporary file for target: this, then six characters that mkostemp picks.
std::string temporaryPrefix(const std::filesystem::path& target) {
  return fmt::format(".{}.", target.filename().string());
}
constexpr std::string_view kTemporaryPattern = "XXXXXX";

}  // namespace

Result<> replaceFileAtomically(const std::filesystem::path& target, std::string_view content) {
  const auto folder = target.parent_path();
  std::string temporary =
      (folder / (temporaryPrefix(target) + std::string(kTemporaryPattern))).string();
  Descriptor descriptor(::mkostemp(temporary.data(), O_CLOEXEC));
  if (descriptor.get() < 0) return systemFailure(lastError());

  std::error_code error = fillAndFlush(descriptor.get(), content);
  if (auto closeError = descriptor.close(); !error) error = closeError;
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = lastError();
  if (error) {
    ::unlink(temporary.c_str());
    return systemFailure(error);
  }
  flushFolder(folder);
  return {};
}

void removeLeftoverTemporaries(const std::filesystem::path& target) {
  const std::string prefix = temporaryPrefix(target);
  std::error_code error;
  for (std::filesystem::directory_iterator entry(target.parent_path(), error), end;
       !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() == prefix.size() + kTemporaryPattern.size() && name.starts_with(prefix)) {
      std::error_code ignored;
      std::filesystem::remove(entry->path(), ignored);
    }
  }
}

}  // namespace platform
