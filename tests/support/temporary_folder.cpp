#include "tests/support/temporary_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

namespace testing_support {

TemporaryFolder::TemporaryFolder(std::string_view prefix, const std::filesystem::path& parent) {
  // mkdtemp picks a name no other test, thread or process holds.
  std::string pattern =
      ((parent.empty() ? std::filesystem::temp_directory_path() : parent) / prefix).string() +
      "-XXXXXX";
  if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a folder like " << pattern;
  path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace testing_support
