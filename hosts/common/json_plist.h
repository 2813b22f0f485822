#pragma once
// Settings written by scenarios arrive as JSON; the files hold property lists.
#include <nlohmann/json.hpp>

#include "platform/foundation/value.h"

namespace hosts {

// true/false become booleans, whole numbers integers, other numbers reals,
// texts strings, objects dictionaries and arrays arrays; null becomes nil.
platform::Value plistValue(const nlohmann::json& json);

}  // namespace hosts
