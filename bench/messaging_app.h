#pragma once
// The simulated messaging app's OS process as the benchmarks run it.
#include <filesystem>
#include <string_view>

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

}  // namespace bench
