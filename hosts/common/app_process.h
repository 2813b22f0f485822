#pragma once
// How a simulated app's process is made for a run of the command: its
// device root, and a virtual or a real clock; the log goes to the output.
#include <filesystem>
#include <string>

#include "platform/process/process.h"

namespace hosts {

inline platform::ProcessOptions appProcessOptions(std::string bundleIdentifier, std::string name,
                                                  const std::filesystem::path& root,
                                                  bool virtualTime) {
  return {.bundleIdentifier = std::move(bundleIdentifier),
          .name = std::move(name),
          .deviceRoot = root,
          .clock = virtualTime ? platform::Clock::Virtual : platform::Clock::Real,
          .logSink = {}};
}

}  // namespace hosts
