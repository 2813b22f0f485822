#pragma once
// How a simulated app's process is made for a run of the command: its
// device root, and a virtual or a real clock (a virtual one may start at a
// given date); the log goes to the output.
#include <filesystem>
#include <optional>
#include <string>

#include "platform/process/process.h"

namespace hosts {

inline platform::ProcessOptions appProcessOptions(std::string bundleIdentifier, std::string name,
                                                  const std::filesystem::path& root,
                                                  bool virtualTime,
                                                  std::optional<platform::Date> start = {}) {
  return {.bundleIdentifier = std::move(bundleIdentifier),
          .name = std::move(name),
          .deviceRoot = root,
          .clock = virtualTime ? platform::Clock::Virtual : platform::Clock::Real,
          .logSink = {},
          .wallClockStart = start,
          .randomSeed = 0};
}

}  // namespace hosts
