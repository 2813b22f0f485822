#pragma once
// A scratch folder for a command's input and error files, holding an empty
// device root that the test fills as the phone would have it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "tests/support/temporary_folder.h"
#include "tests/support/test_files.h"

namespace tools_test {

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
