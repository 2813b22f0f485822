#pragma once
// Settings written by scenarios arrive as JSON; the files hold property lists.
#include <nlohmann/json.hpp>

#include "platform/foundation/value.h"

namespace hosts {

// true/false become booleans, whole numbers integers, other numbers reals,
// texts strings, objects dictionaries and arrays arrays; null becomes nil.
platform::Value plistValue(const nlohmann::json& json);

// The other way, for what the add-on hands a host (a notification's user
// info): nil becomes null, numbers and texts stay, arrays and dictionaries
// recurse; data, dates and host objects, which have no JSON form, become null.
nlohmann::json jsonValue(const platform::Value& value);

}  // namespace hosts
