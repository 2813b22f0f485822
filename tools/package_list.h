#pragma once
// The package's list in a device root (kPackageListPath): what an install
// laid down, read back, and removed again file by file.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/device_root.h"
#include "platform/foundation/result.h"

namespace tools {

// The root, absolute and without a trailing separator, so that the folders
// above a file of it end exactly there.
platform::DeviceRoot normalRoot(const std::filesystem::path& root);

// The list's device paths; a missing list fails with the code
// no_such_file_or_directory.
platform::Result<std::vector<std::string>> readPackageList(const platform::DeviceRoot& root);
std::string packageListText(const std::vector<std::string>& devicePaths);

// Removes the file at the device path, then every folder above it that this
// leaves empty, up to the root. A path that is missing, a folder or outside
// the root is left alone.
platform::Result<> removeWithEmptyFolders(const platform::DeviceRoot& root,
                                          std::string_view devicePath);

// Removes each file the device paths name, except those kept (folders go as
// they are left empty).
platform::Result<> removeListed(const platform::DeviceRoot& root,
                                const std::vector<std::string>& devicePaths,
                                const std::set<std::string>& kept = {});

}  // namespace tools
