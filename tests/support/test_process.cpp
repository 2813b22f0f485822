#include "tests/support/test_process.h"

#include "tests/support/test_files.h"

namespace testing_support {

TestProcess::TestProcess(std::string bundleIdentifier, std::filesystem::path root)
    : ownRoot_(root.empty() ? std::make_unique<TemporaryFolder>() : nullptr),
      root_(ownRoot_ ? ownRoot_->path() : std::move(root)),
      lines_(std::make_shared<std::vector<std::string>>()),
      process_({.bundleIdentifier = bundleIdentifier,
                .name = bundleIdentifier,
                .deviceRoot = root_,
                .clock = platform::Clock::Virtual,
                .logSink = [lines = lines_](std::string_view line) { lines->emplace_back(line); }}),
      scope_(process_) {}

platform::VirtualMainQueue& TestProcess::queue() {
  return static_cast<platform::VirtualMainQueue&>(process_.mainQueue());
}

std::filesystem::path TestProcess::hostPath(std::string_view devicePath) const {
  return *process_.root().map(devicePath);
}

void TestProcess::writeFile(std::string_view devicePath, std::string_view bytes) const {
  testing_support::writeFile(hostPath(devicePath), bytes);
}

std::string TestProcess::readFile(std::string_view devicePath) const {
  return testing_support::readFile(hostPath(devicePath));
}

}  // namespace testing_support
