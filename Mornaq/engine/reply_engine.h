#pragma once
// The reply engine's entry points for the hooks installed in the messaging
// app: the master-switch test, the work that follows the host recording a
// received message, and the capture of the host's message notification centre.
#include "platform/runtime/object.h"

namespace mornaq {

// The master switch, read afresh from MainSettings (NO when it is missing).
// Logs its result; every gated hook calls it first.
bool getPlistValue();

// Called by the receipt hook after the host's own trackReceivedMessage: ran.
// When the master switch is on, queues the message's screening on the main
// queue; the rest of its timeline follows from there. Safe on any thread.
void didTrackReceivedMessage(const platform::Id& message);

// Called by the hook on the notification centre's initialiser with the
// centre it returned; screening asks it whether a chat is muted.
void captureNotificationCenter(const platform::Id& center);

}  // namespace mornaq
