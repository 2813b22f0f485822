#pragma once
// The simulated messaging app's OS process as the benchmarks run it, and how they time it.
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/process/process.h"

namespace bench {

// The process on the device root root, created when missing: virtual time, its log discarded.
inline platform::ProcessOptions messagingAppProcess(const std::filesystem::path& root) {
  std::filesystem::create_directories(root);
  return {.bundleIdentifier = "net.whatsapp.WhatsApp",
          .name = "WhatsApp",
          .deviceRoot = root,
          .clock = platform::Clock::Virtual,
          .logSink = [](std::string_view) {}};
}

// How the app reads its settings files: through the read cache, or every file afresh, as before
// the cache (what the cache is measured against).
enum class Reads { Cached, Afresh };

// Processor seconds per call of body, over calls calls.
template <class Body>
double secondsPerCall(int calls, Body body) {
  const std::clock_t start = std::clock();
  for (int i = 0; i < calls; ++i) body();
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / calls;
}

// The middle value (the upper of the two middle ones of an even count): what a
// run's figure is on a machine that other work interrupts now and then.
inline double median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

}  // namespace bench
