#pragma once
// The add-on's package: every file `mornaq install` lays into a device root.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

namespace tools {

struct PackageItem {
  std::filesystem::path source;  // a build artefact or a file of the source tree
  std::string_view devicePath;   // where the phone keeps it
};

const std::vector<PackageItem>& packageItems();

// Copies every item into the device root, replacing what an earlier install
// left; nothing else under the root is touched. The first failure says which
// file and why.
platform::Result<> installPackage(const std::filesystem::path& root);

}  // namespace tools
