#pragma once
// NSFileManager defaultManager, on device paths of the current process.
#include <string_view>

namespace platform::NSFileManager {

bool fileExistsAtPath(std::string_view devicePath);
// Copies a file; false when the source is missing, the target exists or the
// copy fails (the phone's copyItemAtPath:toPath:error:).
bool copyItemAtPath(std::string_view fromDevicePath, std::string_view toDevicePath);

}  // namespace platform::NSFileManager
