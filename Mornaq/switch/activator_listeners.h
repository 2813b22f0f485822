#pragma once
// The two gesture listeners, MornaqActivatorON and MornaqActivatorOFF: runtime
// classes whose events switch the whole add-on on or off.
#include <string_view>

namespace mornaq {

inline constexpr std::string_view kActivatorOnClass = "MornaqActivatorON";
inline constexpr std::string_view kActivatorOffClass = "MornaqActivatorOFF";

// The first load step: defines both classes in the current process and runs
// their `load`, which registers one listener of each with the gesture
// library, inside the home-screen process only.
void loadActivatorListeners();

}  // namespace mornaq
