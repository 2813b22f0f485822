#include "fuzz/fuzz_device_root.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/settings_format.h"
#include "platform/foundation/device_root.h"
#include "tools/package.h"

namespace fuzz {
namespace {

void removeRoot() {
  std::error_code ignored;
  std::filesystem::remove_all(deviceRoot(), ignored);
}

std::filesystem::path installedRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mornaq-fuzz-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    std::perror("cannot make a device root");
    std::abort();
  }
  if (const auto installed = tools::installPackage(pattern); !installed) {
    std::fprintf(stderr, "cannot install the package: %s\n", installed.reason().c_str());
    std::abort();
  }
  return pattern;
}

}  // namespace

const std::filesystem::path& deviceRoot() {
  static const std::filesystem::path root = installedRoot();
  // Registered after the path, so that it runs before the path is destroyed.
  [[maybe_unused]] static const int removal = std::atexit(removeRoot);
  return root;
}

void resetSettings(std::string_view mainSettingsXml) {
  const auto file = *platform::DeviceRoot(deviceRoot()).map(mornaq::format::kMainSettingsPath);
  // The folder of both settings files, with the lock and moved-aside files.
  std::filesystem::remove_all(file.parent_path());
  if (mainSettingsXml.empty()) return;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << mainSettingsXml;
}

}  // namespace fuzz
