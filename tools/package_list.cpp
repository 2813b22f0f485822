#include "tools/package_list.h"

#include <fmt/format.h>

#include <sstream>
#include <system_error>

#include "platform/foundation/file_io.h"
#include "tools/package.h"

namespace tools {

namespace fs = std::filesystem;
using platform::Result;

platform::DeviceRoot normalRoot(const fs::path& root) {
  fs::path normal = fs::absolute(root).lexically_normal();
  if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
  return platform::DeviceRoot(normal);
}

Result<std::vector<std::string>> readPackageList(const platform::DeviceRoot& root) {
  const auto text = platform::readWholeFile(*root.map(kPackageListPath));
  if (!text) return text.failure();
  std::vector<std::string> devicePaths;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) devicePaths.push_back(line);
  }
  return devicePaths;
}

std::string packageListText(const std::vector<std::string>& devicePaths) {
  std::string text;
  for (const auto& path : devicePaths) (text += path) += '\n';
  return text;
}

Result<> removeWithEmptyFolders(const platform::DeviceRoot& root, std::string_view devicePath) {
  const auto file = root.map(devicePath);
  std::error_code error;
  if (!file || *file == root.folder()) return {};
  const auto status = fs::symlink_status(*file, error);
  if (!fs::exists(status) || fs::is_directory(status)) return {};
  if (!fs::remove(*file, error) && error) {
    return platform::systemFailure(
        error, fmt::format("cannot remove {}: {}", file->string(), error.message()));
  }
  for (fs::path folder = file->parent_path();
       folder != root.folder() && fs::is_empty(folder, error); folder = folder.parent_path()) {
    if (!fs::remove(folder, error)) break;
  }
  return {};
}

Result<> removeListed(const platform::DeviceRoot& root, const std::vector<std::string>& devicePaths,
                      const std::set<std::string>& kept) {
  for (const auto& path : devicePaths) {
    if (kept.contains(path)) continue;
    if (auto removed = removeWithEmptyFolders(root, path); !removed) return removed;
  }
  return {};
}

}  // namespace tools
