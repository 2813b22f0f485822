#include "tools/replay/rehearsal_root.h"

#include <fmt/format.h>

#include <string_view>
#include <system_error>

#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"
#include "hosts/common/app_process.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"
#include "tools/package.h"
#include "tools/seeded_settings.h"

namespace tools::replay {
namespace {

namespace fs = std::filesystem;
namespace format = mornaq::format;

// The file at devicePath copied from one root to the other, when it is there.
platform::Result<> copySettingsFile(const fs::path& from, const fs::path& to,
                                    std::string_view devicePath) {
  const fs::path source = *platform::DeviceRoot(from).map(devicePath);
  const fs::path target = *platform::DeviceRoot(to).map(devicePath);
  std::error_code error;
  if (!fs::exists(source, error)) return {};
  fs::create_directories(target.parent_path(), error);
  if (!error) fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
  if (error) {
    return platform::systemFailure(error,
                                   fmt::format("cannot copy {}: {}", devicePath, error.message()));
  }
  return {};
}

// Turns the switch on in the copy; gives whether it was on.
platform::Result<bool> switchOn(const fs::path& root) {
  platform::Process settingsApp(
      hosts::appProcessOptions("com.apple.Preferences", "Preferences", root, /*virtualTime=*/true));
  platform::ProcessScope scope(settingsApp);
  platform::Dictionary settings = mainSettingsAsSeeded();
  const bool wasOn = mornaq::switchValue(settings, format::kIsTweakEnabled);
  settings[std::string(format::kIsTweakEnabled)] = true;
  const auto written =
      platform::updatePlist(format::kMainSettingsPath, [&settings](platform::Dictionary& file) {
        file = settings;
        return true;
      });
  if (!written) return platform::Failure{"cannot write the settings: " + written.reason()};
  return wasOn;
}

}  // namespace

platform::Result<RehearsalRoot> makeRehearsalRoot(const fs::path& phoneRoot) {
  auto root = PrivateRoot::make("mornaq-replay");
  if (!root) return platform::Failure{"cannot make a private device root: " + root.reason()};
  PLATFORM_TRY(installPackage(root->path()));
  for (const auto path : {format::kMainSettingsPath, format::kRuleSettingsPath}) {
    PLATFORM_TRY(copySettingsFile(phoneRoot, root->path(), path));
  }
  const auto wasOn = switchOn(root->path());
  PLATFORM_TRY(wasOn);
  return RehearsalRoot{std::move(*root), *wasOn};
}

}  // namespace tools::replay
