#include "tools/seeded_settings.h"

#include "common/settings_format.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/plist_file.h"

namespace tools {

namespace format = mornaq::format;

platform::Dictionary mainSettingsAsSeeded() {
  if (platform::NSFileManager::fileExistsAtPath(format::kMainSettingsPath)) {
    return platform::readPlist(format::kMainSettingsPath);
  }
  return platform::readPlist(format::kSeedPath);
}

}  // namespace tools
