#include "bench/settings_file.h"

#include <utility>

#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace bench {

void writeSettingsFile(std::string_view devicePath, platform::Dictionary content) {
  if (!platform::updatePlist(devicePath, [&](platform::Dictionary& file) {
        file = std::move(content);
        return true;
      })) {
    platform::fatal("could not write the settings to measure");
  }
}

}  // namespace bench
