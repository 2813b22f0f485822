#pragma once
// The road as a user runs it: the package installed into a fresh device
// root, settings written as the Settings app would, then the simulated
// messaging app, loading Mornaq.dylib through the loader, run through a
// scenario with its JSON output read back.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/foundation/value.h"
#include "tests/support/temporary_folder.h"

namespace road_test {

struct RunResult {
  int status = 0;
  std::vector<nlohmann::json> events;  // one per output line
  std::string errors;

  // The lines of one kind ("sent", "reply", ...), each with its time.
  std::vector<std::pair<double, nlohmann::json>> of(const std::string& kind) const;
};

class RoadTest : public testing::Test {
 protected:
  RoadTest();

  // Writes a settings file whole, from another process, before the app starts.
  void writeFile(std::string_view devicePath, const platform::Dictionary& content);

  // Runs the messaging app in virtual time through the scenario's lines,
  // with the why-trace when asked.
  RunResult run(const std::string& scenario, const std::string& version = "2.20.110.30",
                bool why = false);

  testing_support::TemporaryFolder folder{"mornaq-road"};
  const std::filesystem::path root = folder.path();
  // The local date at which the virtual clock starts; none: now.
  std::optional<platform::Date> start;
  std::uint64_t seed = 0;  // the virtual clock's random numbers (`mornaq whatsapp --seed N`)
};

}  // namespace road_test
