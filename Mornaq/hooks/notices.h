#pragma once
// The one-time notices shown on the home screen: a welcome after
// installation, then a note about the reply placeholders.
#include "platform/runtime/object.h"

namespace mornaq {

// Runs after the home screen appeared: shows the notice that is due, at most
// one per appearance, and marks it shown as it is presented.
void showNotices(const platform::Id& homeScreen);

}  // namespace mornaq
