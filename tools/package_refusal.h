#pragma once
// A failure of a package itself, as against a root that could not be written:
// the package is broken or breaks a rule, and is refused (exit status 2).
#include <string>

#include "platform/foundation/result.h"

namespace tools::deb {

platform::Failure refusal(std::string reason);
bool isRefusal(const platform::Failure& failure);

}  // namespace tools::deb
