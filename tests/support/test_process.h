#pragma once
// A fresh simulated process for a test: its own temporary device root, a
// virtual main queue and a log that the test can read back.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace testing_support {

class TestProcess {
 public:
  explicit TestProcess(std::string bundleIdentifier = "com.example.test",
                       std::filesystem::path root = {});
  ~TestProcess();

  platform::Process& process() { return process_; }
  platform::VirtualMainQueue& queue();
  const std::filesystem::path& root() const { return root_; }
  const std::vector<std::string>& log() const { return *lines_; }
  void clearLog() { lines_->clear(); }
  // Host path of a device path.
  std::filesystem::path hostPath(std::string_view devicePath) const;

 private:
  static std::filesystem::path freshRoot();

  bool ownsRoot_;
  std::filesystem::path root_;
  std::shared_ptr<std::vector<std::string>> lines_;
  platform::Process process_;
  platform::ProcessScope scope_;
};

}  // namespace testing_support
