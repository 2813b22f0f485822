#pragma once
// The warning shown on a chat screen when the host is a version the hooks
// were not written for.
#include "platform/runtime/object.h"

namespace mornaq {

// Runs after the host loaded a chat screen: while the master switch is on,
// warns on that screen unless the version is supported or the user chose
// "Don't show".
void checkHostVersion(const platform::Id& chatScreen);

}  // namespace mornaq
