#include "Mornaq/switch/master_switch.h"

#include <fmt/format.h>

#include <optional>
#include <string>

#include "Mornaq/engine/reply_engine.h"
#include "common/settings_format.h"
#include "common/settings_write.h"
#include "platform/foundation/darwin_notify_center.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

using mornaq::format::kIsTweakEnabled;
using mornaq::format::kMainSettingsPath;

namespace {

// The outcome of the process's last MqSetState, for a caller that cannot
// change its signature.
struct SetStateOutcome {
  std::optional<std::string> failure;
};

}  // namespace

void MqSetState(bool state) {
  // Through the locked update, so a missing file is created rather than the
  // switch silently staying off, and a page writing at the same moment keeps
  // its change. A failed write is logged with its reason.
  const auto stored =
      mornaq::writeSettings(kMainSettingsPath, [state](platform::Dictionary& settings) {
        settings.insert_or_assign(std::string(kIsTweakEnabled), state);
        return true;
      });
  auto& outcome = platform::Process::current().state<SetStateOutcome>();
  outcome.failure.reset();
  if (!stored)
    outcome.failure = fmt::format("cannot write {}: {}", kMainSettingsPath, stored.reason());
  auto& darwin = platform::CFNotificationCenterGetDarwinNotifyCenter();
  platform::CFNotificationCenterPostNotification(darwin, mornaq::format::kPrefsUpdatedNotification);
  platform::NSLog(fmt::format("[Mornaq] ARSetState:-{}", platform::flag(state)));
  if (stored) mornaq::postMasterSwitch(state);
}

const char* MqSetStateFailure() {
  const auto& failure = platform::Process::current().state<SetStateOutcome>().failure;
  return failure ? failure->c_str() : nullptr;
}

bool MqGetState() {
  const auto settings = platform::readPlistShared(kMainSettingsPath);
  const platform::Value& stored = platform::lookUp(*settings, kIsTweakEnabled);
  platform::NSLog(fmt::format("[Mornaq] ARGetState:-{}", stored.description()));
  return stored.boolValue();
}
