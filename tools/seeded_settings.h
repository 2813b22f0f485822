#pragma once
// MainSettings as the messaging app reads it after its load sequence, in the
// current process's device root: seeding copies the seed file to a missing
// MainSettings, so the seed stands in for it.
#include "platform/foundation/value.h"

namespace tools {

platform::Dictionary mainSettingsAsSeeded();

}  // namespace tools
