#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/foundation/plist_file.h"

namespace testing_support {

void writeFile(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writePlist(std::string_view devicePath, const platform::Dictionary& content) {
  EXPECT_TRUE(platform::updatePlist(devicePath, [&](platform::Dictionary& file) {
    file = content;
    return true;
  }));
}

std::optional<platform::Dictionary> plistIfPresent(std::string_view devicePath) {
  auto read = platform::readPlistIfPresent(devicePath);
  if (!read) return std::nullopt;
  return std::move(*read);
}

std::string xmlPlist(std::string_view entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
         std::string(entries) + "</dict></plist>\n";
}

}  // namespace testing_support
