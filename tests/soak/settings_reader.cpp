// Reads the two settings files of a device root over and over, as a process
// beside their writers, until a stop file appears; fails at the first read
// that does not parse. A file that does not exist yet is no failure.
// Usage: soak_settings_reader ROOT STOPFILE
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

#include "common/settings_format.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: soak_settings_reader ROOT STOPFILE\n";
    return 2;
  }
  const platform::DeviceRoot root(argv[1]);
  const std::filesystem::path files[] = {*root.map(mornaq::format::kMainSettingsPath),
                                         *root.map(mornaq::format::kRuleSettingsPath)};
  long reads = 0;
  while (!std::filesystem::exists(argv[2])) {
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      if (!in) continue;
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      if (const auto parsed = platform::parsePropertyList(bytes); !parsed) {
        std::cerr << file.string() << " does not parse after " << reads
                  << " reads: " << parsed.reason() << "\n"
                  << bytes << '\n';
        return 1;
      }
      ++reads;
    }
    // A breath between rounds, so that the writers get the processor too.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::cout << reads << '\n';
  return 0;
}
