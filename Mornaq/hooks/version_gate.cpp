#include "Mornaq/hooks/version_gate.h"

#include <algorithm>

#include <fmt/format.h>

#include "Mornaq/engine/reply_engine.h"
#include "Mornaq/hooks/alerts.h"
#include "Mornaq/hooks/supported_versions.h"
#include "Mornaq/host/host_interface.h"
#include "common/settings_format.h"
#include "common/settings_write.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace mornaq {
namespace {

// The upgrade manager's class, looked up at the first need and kept once found.
struct UpgradeManagerClass {
  platform::ClassRef cls;
};

host::Text hostVersion() {
  auto& upgradeManager = platform::Process::current().state<UpgradeManagerClass>().cls;
  if (!upgradeManager) {
    upgradeManager = platform::Process::current().runtime().lookUpClass(host::kWAUpgradeManager);
  }
  return host::previousAppVersion(upgradeManager);
}

bool isSupported(const host::Text& version) {
  const auto& versions = supportedVersions();
  return version && std::find(versions.begin(), versions.end(), *version) != versions.end();
}

std::string warningMessage() {
  return fmt::format("Current version is not supported pls use any of the below version.\n\n{}",
                     fmt::join(supportedVersions(), "\n"));
}

// Written when the button is chosen, into the file as it is then, so that
// changes made while the warning was open are kept. A failed write is
// logged; the warning then shows again.
void stopWarning() {
  static_cast<void>(writeSettings(format::kMainSettingsPath, [](platform::Dictionary& settings) {
    settings[std::string(format::kIsCnrtVerSupported)] = true;
    return true;
  }));
}

}  // namespace

void checkHostVersion(const platform::Id& chatScreen) {
  if (!getPlistValue()) return;
  const host::Text version = hostVersion();
  platform::NSLog(
      fmt::format("Mornaq applicationDidBecomeActive versio:-{}", platform::orNull(version)));
  const platform::Dictionary settings = platform::readPlist(format::kMainSettingsPath);
  const bool warningStopped = platform::lookUp(settings, format::kIsCnrtVerSupported).boolValue();
  if (isSupported(version)) {
    platform::NSLog("Mornaq applicationDidBecomeActive current version is supported");
    return;
  }
  if (warningStopped) return;
  platform::NSLog(fmt::format(
      "Mornaq applicationDidBecomeActive current version is NOT supported isCnrtVerSupported:-{}",
      platform::flag(warningStopped)));
  presentAlert(chatScreen, "Mornaq not supported", warningMessage(),
               {okAction(),
                {.title = "Don't show",
                 .style = platform::uikit::AlertActionStyle::Default,
                 .handler = stopWarning}});
}

}  // namespace mornaq
