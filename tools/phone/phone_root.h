#pragma once
// The device root `mornaq phone` runs on.
#include <filesystem>
#include <optional>

#include "platform/foundation/result.h"

namespace tools::phone {

// The user's own phone: $XDG_DATA_HOME/mornaq/phone, else
// ~/.local/share/mornaq/phone.
platform::Result<std::filesystem::path> userRoot();

// Makes root ready: installs the add-on when it is not installed. A root made
// here (fresh) also gets the sample address book and settings; an existing
// root's settings are never touched.
platform::Result<void> prepareRoot(const std::filesystem::path& root, bool fresh);

}  // namespace tools::phone
