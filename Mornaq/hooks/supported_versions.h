#pragma once
// The host versions the hooks were written for.
#include <string>
#include <vector>

namespace mornaq {

// The current process's list, in the order the version warning shows it;
// empty until the load sequence has built it.
const std::vector<std::string>& supportedVersions();

// The library's second load step: builds the list for the current process.
void buildSupportedVersions();

}  // namespace mornaq
