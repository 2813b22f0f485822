#include "platform/foundation/file_manager.h"

#include <filesystem>
#include <system_error>

#include "platform/process/process.h"

namespace platform::NSFileManager {

bool fileExistsAtPath(std::string_view devicePath) {
  auto path = Process::current().root().map(devicePath);
  std::error_code error;
  return path && std::filesystem::exists(*path, error);
}

bool copyItemAtPath(std::string_view fromDevicePath, std::string_view toDevicePath) {
  const auto& root = Process::current().root();
  auto from = root.map(fromDevicePath);
  auto to = root.map(toDevicePath);
  if (!from || !to) return false;
  std::error_code error;
  std::filesystem::create_directories(to->parent_path(), error);
  return std::filesystem::copy_file(*from, *to, std::filesystem::copy_options::none, error);
}

}  // namespace platform::NSFileManager
