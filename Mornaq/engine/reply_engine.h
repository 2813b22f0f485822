#pragma once
// The reply engine's entry points for the hooks installed in the messaging
// app: the master-switch test, the work that follows the host recording a
// received message, and the capture of the host's message notification centre.
#include <string_view>

#include "platform/runtime/object.h"

namespace mornaq {

// Posted on the default notification centre whenever the add-on reads or sets
// the master switch, with {"on": B}, so that an app can say how it stands.
inline constexpr std::string_view kMasterSwitchNotification = "MornaqMasterSwitch";

// The master switch, read afresh from MainSettings (NO when it is missing).
// Logs its result and posts kMasterSwitchNotification; every gated hook
// calls it first.
bool getPlistValue();

// Posts kMasterSwitchNotification with the switch as it now stands.
void postMasterSwitch(bool on);

// Called by the receipt hook after the host's own trackReceivedMessage: ran.
// Starts the message's road: its facts and the master switch are taken at
// once; when the switch is on, the rest follows on the main queue. Safe on
// any thread.
void didTrackReceivedMessage(const platform::Id& message);

// Called by the hook on the notification centre's initialiser with the
// centre it returned; screening asks it whether a chat is muted.
void captureNotificationCenter(const platform::Id& center);

}  // namespace mornaq
