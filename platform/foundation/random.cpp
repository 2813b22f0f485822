#include "platform/foundation/random.h"

#include <random>

#include "platform/process/process.h"

namespace platform {
namespace {

// Drawn on the main queue only, where the add-on does everything that waits.
struct RandomSource {
  RandomSource() {
    const Process& process = Process::current();
    generator.seed(process.clock() == Clock::Virtual ? process.randomSeed()
                                                     : std::random_device()());
  }
  std::mt19937_64 generator;
};

}  // namespace

std::uint32_t arc4random_uniform(std::uint32_t upperBound) {
  if (upperBound == 0) return 0;
  auto& generator = Process::current().state<RandomSource>().generator;
  // Reduced by hand rather than with a distribution, whose results differ
  // between standard libraries: the same seed gives the same run everywhere.
  const std::uint64_t limit = UINT64_MAX - UINT64_MAX % upperBound;
  std::uint64_t drawn = generator();
  while (drawn >= limit) drawn = generator();
  return static_cast<std::uint32_t>(drawn % upperBound);
}

}  // namespace platform
