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

}  // namespace platform::NSFileManager
