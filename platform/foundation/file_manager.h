#pragma once
// NSFileManager defaultManager, on device paths of the current process.
#include <string_view>

namespace platform::NSFileManager {

bool fileExistsAtPath(std::string_view devicePath);

}  // namespace platform::NSFileManager
