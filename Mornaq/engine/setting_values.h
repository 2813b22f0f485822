#pragma once
// One setting read from a settings dictionary, with the built-in fallbacks.
// Every step reads what it needs afresh from the dictionary it was given, so
// no value carries over from one message or contact to the next.
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace mornaq {

// The stored value's boolValue; NO when the key is missing.
bool switchValue(const platform::Dictionary& settings, std::string_view key);

// The stored value's string form (a number as its decimal text); "" when the
// key is missing or holds neither a string nor a number.
std::string textValue(const platform::Dictionary& settings, std::string_view key);

// A reply template never goes out empty: empty becomes the busy text.
std::string replyOrBusyText(std::string reply);
// A delay never goes out empty: empty becomes the default delay.
std::string delayOrDefault(std::string delay);

}  // namespace mornaq
