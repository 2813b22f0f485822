#include "tools/private_root.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace tools {

namespace fs = std::filesystem;

platform::Result<PrivateRoot> PrivateRoot::make(std::string_view prefix) {
  std::string pattern = (fs::temp_directory_path() / prefix).string() + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    return platform::systemFailure(std::error_code(errno, std::generic_category()));
  }
  return PrivateRoot(pattern);
}

PrivateRoot::PrivateRoot(PrivateRoot&& other) noexcept : path_(std::move(other.path_)) {
  other.path_.clear();
}

PrivateRoot::~PrivateRoot() {
  if (path_.empty()) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

}  // namespace tools
