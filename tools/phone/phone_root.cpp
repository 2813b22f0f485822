#include "tools/phone/phone_root.h"

#include <fmt/format.h>

#include <cstdlib>
#include <system_error>

#include "tools/package.h"
#include "tools/sample_settings.h"

namespace tools::phone {

namespace fs = std::filesystem;

platform::Result<fs::path> userRoot() {
  const char* data = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  fs::path base;
  if (data && *data) {
    base = data;
  } else if (home && *home) {
    base = fs::path(home) / ".local/share";
  } else {
    return platform::Failure{"neither XDG_DATA_HOME nor HOME is set: give --root"};
  }
  return base / "mornaq/phone";
}

platform::Result<void> prepareRoot(const fs::path& root, bool fresh) {
  std::error_code error;
  fs::create_directories(root, error);
  if (error) return platform::systemFailure(error, "cannot make " + root.string());
  if (!isInstalled(root)) {
    PLATFORM_TRY(installPackage(root));
  }
  if (fresh) {
    if (auto written = writeSampleAddressBook(root); !written) {
      return platform::Failure{fmt::format("cannot write the sample address book into {}: {}",
                                           root.string(), written.reason())};
    }
    PLATFORM_TRY(writeSampleSettings(root));
  }
  return {};
}

}  // namespace tools::phone
