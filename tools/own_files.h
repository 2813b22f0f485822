#pragma once
// The command's own files (the package it installs, and whatever else it
// ships), found from where the running program lies, never through a path
// compiled in: an installed prefix P keeps them in P/share/mornaq/, beside
// P/bin/mornaq; the build tree at its top, above tools/mornaq and the tests.
// So a moved install, a renamed tree and a copied prefix all find them.
#include <filesystem>
#include <string_view>

#include "platform/foundation/result.h"

namespace tools {

// NAME in the nearest folder at or above the running program's own that holds
// it, directly (the build tree) or in share/mornaq/ (an installed prefix).
platform::Result<std::filesystem::path> ownFile(std::string_view name);

}  // namespace tools
