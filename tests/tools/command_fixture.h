#pragma once
// A scratch folder for a command's input and error files, holding an empty
// device root that the test fills as the phone would have it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/temporary_folder.h"
#include "tests/support/test_files.h"

namespace tools_test {

// Every line of a --json output.
inline std::vector<nlohmann::json> events(const std::string& out) {
  std::vector<nlohmann::json> parsed;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) parsed.push_back(nlohmann::json::parse(line));
  return parsed;
}

// The lines of one kind ("sent", "switch", ...) of a --json output, each with its time.
inline std::vector<std::pair<double, nlohmann::json>> eventsOf(const std::string& out,
                                                               std::string_view kind) {
  std::vector<std::pair<double, nlohmann::json>> found;
  for (const auto& event : events(out)) {
    if (event.contains(kind)) found.emplace_back(event["t"].get<double>(), event[kind]);
  }
  return found;
}

class CommandTest : public testing::Test {
 protected:
  CommandTest() { std::filesystem::create_directory(root); }

  // A file at a path relative to the root, its folders created first.
  void writeRootFile(std::string_view relative, std::string_view content) const {
    testing_support::writeFile(root / relative, content);
  }
  // MainSettings holding these XML dictionary entries, before an app starts.
  void writeMainSettings(std::string_view entries) const {
    writeRootFile("var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefs.plist",
                  testing_support::xmlPlist(entries));
  }

  testing_support::TemporaryFolder scratch{"mornaq-command"};
  const std::filesystem::path folder = scratch.path();
  const std::filesystem::path root = folder / "root";
};

}  // namespace tools_test
