// Changes one settings file under DEVICE_ROOT on command, as another program on the phone would,
// so that a test can check that its own process reads every change. Reads "HOW ROUND" lines from
// standard input and answers each with "done" once the file holds {"round": ROUND} (or is gone):
//   in-place  rewrites the bytes of the same file, same size, and puts its old times back;
//   rename    writes a sibling file of the same size and renames it over the file;
//   locked    goes through the locked update;
//   truncate  empties the file;  delete  removes it;
//   folder    replaces the file's folder by a new one holding the file.
// Usage: plist_rewrite_helper DEVICE_ROOT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace {

namespace fs = std::filesystem;
constexpr std::string_view kSettings = "/var/mobile/Library/Preferences/rewritten.plist";

std::string contentFor(const std::string& round) {
  return platform::serializePropertyList(platform::Dictionary{{"round", round}});
}

void writeFile(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

bool rewriteInPlace(const fs::path& file, const std::string& bytes) {
  struct stat before {};
  const int descriptor = ::open(file.c_str(), O_WRONLY);
  if (descriptor < 0 || ::fstat(descriptor, &before) != 0) return false;
  const bool written =
      ::pwrite(descriptor, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
  const timespec times[2] = {before.st_atim, before.st_mtim};
  const bool restored = ::futimens(descriptor, times) == 0;
  return ::close(descriptor) == 0 && written && restored;
}

bool change(const fs::path& file, const std::string& how, const std::string& round) {
  const auto bytes = contentFor(round);
  if (how == "in-place") return rewriteInPlace(file, bytes);
  if (how == "rename") {
    const auto sibling = fs::path(file) += ".new";
    writeFile(sibling, bytes);
    fs::rename(sibling, file);
  } else if (how == "locked") {
    return platform::updatePlist(kSettings,
                                 [&](platform::Dictionary& settings) {
                                   settings.insert_or_assign("round", round);
                                   return true;
                                 })
        .ok();
  } else if (how == "truncate") {
    fs::resize_file(file, 0);
  } else if (how == "delete") {
    fs::remove(file);
  } else if (how == "folder") {
    const auto folder = file.parent_path(), old = fs::path(folder) += ".old";
    fs::rename(folder, old);
    fs::create_directory(folder);
    writeFile(file, bytes);
    fs::remove_all(old);
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: plist_rewrite_helper DEVICE_ROOT\n";
    return 2;
  }
  platform::Process process({.bundleIdentifier = "com.example.plist-rewrite-helper",
                             .name = "plist_rewrite_helper",
                             .deviceRoot = argv[1],
                             .clock = platform::Clock::Virtual,
                             .logSink = {}});
  const platform::ProcessScope scope(process);
  const fs::path file = *process.root().map(kSettings);
  std::string how, round;
  while (std::cin >> how >> round) {
    if (!change(file, how, round)) return 1;
    std::cout << "done" << std::endl;
  }
  return 0;
}
