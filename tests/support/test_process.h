#pragma once
// A fresh simulated process for a test: its own temporary device root, a
// virtual main queue and a log that the test can read back.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"
#include "tests/support/temporary_folder.h"

namespace testing_support {

class TestProcess {
 public:
  explicit TestProcess(std::string bundleIdentifier = "com.example.test",
                       std::filesystem::path root = {});

  platform::Process& process() { return process_; }
  platform::VirtualMainQueue& queue();
  const std::filesystem::path& root() const { return root_; }
  const std::vector<std::string>& log() const { return *lines_; }
  void clearLog() { lines_->clear(); }
  // Host path of a device path.
  std::filesystem::path hostPath(std::string_view devicePath) const;
  // Writes bytes at a device path, its folders created first.
  void writeFile(std::string_view devicePath, std::string_view bytes) const;
  // The whole content of the file at a device path ("" when it cannot be read).
  std::string readFile(std::string_view devicePath) const;

 private:
  std::unique_ptr<TemporaryFolder> ownRoot_;  // none when the test gave a root
  std::filesystem::path root_;
  std::shared_ptr<std::vector<std::string>> lines_;
  platform::Process process_;
  platform::ProcessScope scope_;
};

}  // namespace testing_support
