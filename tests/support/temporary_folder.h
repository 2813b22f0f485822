#pragma once
// A fresh, empty folder of a test's own, removed with all it holds when the
// test is done.
#include <filesystem>
#include <string_view>

namespace testing_support {

class TemporaryFolder {
 public:
  // Named prefix plus a unique suffix, under parent (the system's temporary
  // folder by default).
  explicit TemporaryFolder(std::string_view prefix = "mornaq-test",
                           const std::filesystem::path& parent = {});
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace testing_support
