#include "tests/support/test_process.h"

#include <unistd.h>

#include <atomic>

namespace testing_support {

std::filesystem::path TestProcess::freshRoot() {
  static std::atomic<int> counter{0};
  auto root = std::filesystem::temp_directory_path() /
              ("mornaq-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);
  return root;
}

TestProcess::TestProcess(std::string bundleIdentifier, std::filesystem::path root)
    : ownsRoot_(root.empty()),
      root_(ownsRoot_ ? freshRoot() : std::move(root)),
      lines_(std::make_shared<std::vector<std::string>>()),
      process_({.bundleIdentifier = bundleIdentifier,
                .name = bundleIdentifier,
                .deviceRoot = root_,
                .clock = platform::Clock::Virtual,
                .logSink = [lines = lines_](std::string_view line) { lines->emplace_back(line); }}),
      scope_(process_) {}

TestProcess::~TestProcess() {
  if (ownsRoot_) {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
}

platform::VirtualMainQueue& TestProcess::queue() {
  return static_cast<platform::VirtualMainQueue&>(process_.mainQueue());
}

std::filesystem::path TestProcess::hostPath(std::string_view devicePath) const {
  return *process_.root().map(devicePath);
}

}  // namespace testing_support
