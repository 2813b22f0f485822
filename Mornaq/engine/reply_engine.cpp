#include "Mornaq/engine/reply_engine.h"

#include <fmt/format.h>

#include "Mornaq/engine/setting_values.h"
#include "Mornaq/engine/timed_road.h"
#include "common/settings_format.h"
#include "platform/dispatch/guarded.h"
#include "platform/foundation/log.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace mornaq {
namespace {

// The host's message notification centre, captured wherever the host creates
// it and read as messages arrive, so it is guarded.
struct CapturedCentre {
  platform::Guarded<platform::Id> centre;
};

CapturedCentre& capturedCentre() { return platform::Process::current().state<CapturedCentre>(); }

}  // namespace

bool getPlistValue() {
  const bool enabled =
      switchValue(*platform::readPlistShared(format::kMainSettingsPath), format::kIsTweakEnabled);
  platform::NSLog(fmt::format("[Mornaq] getPlistValue value:-{}", platform::flag(enabled)));
  postMasterSwitch(enabled);
  return enabled;
}

void postMasterSwitch(bool on) {
  platform::NotificationCenter::defaultCenter().postNotificationName(
      kMasterSwitchNotification, nullptr, platform::Dictionary{{"on", on}});
}

void didTrackReceivedMessage(const platform::Id& message) {
  startRoad(message, capturedCentre().centre.get());
}

void captureNotificationCenter(const platform::Id& center) { capturedCentre().centre.set(center); }

}  // namespace mornaq
