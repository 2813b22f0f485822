#include "tests/hosts/road_fixture.h"

#include <sstream>

#include "hosts/whatsapp/whatsapp_run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"
#include "tools/package.h"

namespace road_test {

std::vector<std::pair<double, nlohmann::json>> RunResult::of(const std::string& kind) const {
  std::vector<std::pair<double, nlohmann::json>> found;
  for (const auto& event : events) {
    if (event.contains(kind)) found.emplace_back(event["t"].get<double>(), event[kind]);
  }
  return found;
}

RoadTest::RoadTest() {
  const auto installed = tools::installPackage(root);
  EXPECT_TRUE(installed) << installed.failure().reason;
}

void RoadTest::writeFile(std::string_view devicePath, const platform::Dictionary& content) {
  const testing_support::TestProcess settingsApp("com.apple.Preferences", root);
  testing_support::writePlist(devicePath, content);
}

RunResult RoadTest::run(const std::string& scenario, const std::string& version, bool why) {
  std::istringstream in(scenario);
  std::ostringstream out;
  std::ostringstream err;
  RunResult result;
  result.status = hosts::whatsapp::run({.root = root,
                                        .version = version,
                                        .virtualTime = true,
                                        .format = hosts::EventOutput::Format::Json,
                                        .input = hosts::scenario::Input::ReadFirst,
                                        .why = why,
                                        .start = start,
                                        .seed = seed},
                                       in, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    result.events.push_back(nlohmann::json::parse(line));
  }
  result.errors = err.str();
  return result;
}

}  // namespace road_test
