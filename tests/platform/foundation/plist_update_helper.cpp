// Applies COUNT updates to one settings file under DEVICE_ROOT, each adding its own key
// "<PREFIX><i>", so that a test can run two of these at once as separate OS processes.
// Usage: plist_update_helper DEVICE_ROOT PREFIX COUNT
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: plist_update_helper DEVICE_ROOT PREFIX COUNT\n", stderr);
    return 2;
  }
  const std::string prefix = argv[2];
  const int count = std::atoi(argv[3]);
  platform::Process process({.bundleIdentifier = "com.example.plist-update-helper",
                             .name = "plist_update_helper",
                             .deviceRoot = argv[1],
                             .clock = platform::Clock::Virtual,
                             .logSink = {}});
  const platform::ProcessScope scope(process);
  for (int i = 0; i < count; ++i) {
    const auto written = platform::updatePlist(
        "/var/mobile/Library/Preferences/race.plist", [&](platform::Dictionary& settings) {
          settings.insert_or_assign(prefix + std::to_string(i), i);
          return true;
        });
    if (!written) return 1;
  }
  return 0;
}
