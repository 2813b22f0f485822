#include "tools/staged_files.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tools {

namespace fs = std::filesystem;
using platform::Result;

namespace {

std::error_code lastError() { return {errno, std::system_category()}; }

Result<> writeAll(int fd, std::string_view block) {
  while (!block.empty()) {
    const ssize_t written = ::write(fd, block.data(), block.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return platform::systemFailure(lastError());
    block.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

}  // namespace

Result<> StagedFiles::makeFolders(const fs::path& folder) {
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path above = folder; !fs::exists(fs::symlink_status(above, error));
       above = above.parent_path()) {
    missing.push_back(above);
  }
  for (auto made = missing.rbegin(); made != missing.rend(); ++made) {
    if (!fs::create_directory(*made, error) && error) {
      return platform::systemFailure(
          error, fmt::format("cannot make {}: {}", made->string(), error.message()));
    }
    madeFolders_.push_back(*made);
  }
  if (!fs::is_directory(folder, error)) {
    return platform::systemFailure(
        std::make_error_code(std::errc::not_a_directory),
        fmt::format("cannot make {}: a file is in its place", folder.string()));
  }
  return {};
}

Result<> StagedFiles::folder(std::string_view devicePath) {
  return makeFolders(*root_.map(devicePath));
}

Result<> StagedFiles::file(std::string_view devicePath, unsigned permissions,
                           const deb::Content& content) {
  const fs::path target = *root_.map(devicePath);
  if (auto made = makeFolders(target.parent_path()); !made) return made;
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(target, error))) {
    return platform::systemFailure(
        std::make_error_code(std::errc::is_a_directory),
        fmt::format("cannot install {}: a folder is in its place", target.string()));
  }
  const fs::path written = fs::path(target).concat(".dpkg-new");
  const int fd =
      ::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, permissions);
  if (fd < 0) {
    return platform::systemFailure(
        lastError(), fmt::format("cannot write {}: {}", written.string(), lastError().message()));
  }
  staged_.push_back({written, target});
  // The content's own failure (a broken archive) is handed on as it is.
  const auto cannotWrite = [&written](std::error_code error) {
    return platform::systemFailure(
        error, fmt::format("cannot write {}: {}", written.string(), error.message()));
  };
  auto wrote = content([&](std::string_view block) -> Result<> {
    if (auto done = writeAll(fd, block); !done) return cannotWrite(done.failure().code);
    return {};
  });
  if (::close(fd) != 0 && wrote) return cannotWrite(lastError());
  return wrote;
}

Result<> StagedFiles::commit() {
  std::error_code error;
  for (const auto& file : staged_) {
    fs::rename(file.written, file.target, error);
    if (error) {
      return platform::systemFailure(error, fmt::format("cannot rename {} into place: {}",
                                                        file.written.string(), error.message()));
    }
  }
  staged_.clear();
  madeFolders_.clear();
  return {};
}

// Files not renamed yet go; a made folder goes only if nothing came into it.
void StagedFiles::abandon() {
  std::error_code ignored;
  for (const auto& file : staged_) fs::remove(file.written, ignored);
  for (auto made = madeFolders_.rbegin(); made != madeFolders_.rend(); ++made) {
    fs::remove(*made, ignored);
  }
  staged_.clear();
  madeFolders_.clear();
}

}  // namespace tools
