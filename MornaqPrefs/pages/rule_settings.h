#pragma once
// Finding one's way in the rule file's three levels: owner key -> rule set
// (match word -> rule) -> rule fields. A level that holds something other
// than a dictionary counts as absent.
#include <string_view>

#include "platform/foundation/value.h"

namespace mornaqprefs {

const platform::Dictionary* ruleSetIn(const platform::Dictionary& rules, std::string_view owner);
platform::Dictionary* ruleSetIn(platform::Dictionary& rules, std::string_view owner);

const platform::Dictionary* ruleIn(const platform::Dictionary& rules, std::string_view owner,
                                   std::string_view word);
platform::Dictionary* ruleIn(platform::Dictionary& rules, std::string_view owner,
                             std::string_view word);

}  // namespace mornaqprefs
