#pragma once
// Random numbers as the phone gives them (arc4random_uniform). A process on a
// virtual clock draws from a generator seeded with its seed, so that a run
// repeats exactly; one on the real clock from the system's entropy.
#include <cstdint>

namespace platform {

// A number below upperBound, every one as likely; 0 for an upper bound of 0.
std::uint32_t arc4random_uniform(std::uint32_t upperBound);

}  // namespace platform
