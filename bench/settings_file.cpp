#include "bench/settings_file.h"

#include <fcntl.h>
#include <sys/resource.h>

#include <filesystem>
#include <utility>

#include "common/settings_format.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace bench {
namespace {

bool watchesFiles() {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) == "anon_inode:inotify") return true;
  }
  return false;
}

}  // namespace

void writeSettingsFile(std::string_view devicePath, platform::Dictionary content) {
  if (!platform::updatePlist(devicePath, [&](platform::Dictionary& file) {
        file = std::move(content);
        return true;
      })) {
    platform::fatal("could not write the settings to measure");
  }
}

void readEveryFileAfresh() {
  if (watchesFiles()) platform::fatal("the process reads through the cache already");
  int lowestFree = 0;
  while (::fcntl(lowestFree, F_GETFD) != -1) ++lowestFree;
  rlimit previous{};
  ::getrlimit(RLIMIT_NOFILE, &previous);
  rlimit none = previous;
  none.rlim_cur = static_cast<rlim_t>(lowestFree);
  ::setrlimit(RLIMIT_NOFILE, &none);
  platform::readPlist(mornaq::format::kMainSettingsPath);  // finds no inotify instance to be had
  ::setrlimit(RLIMIT_NOFILE, &previous);
  if (watchesFiles()) platform::fatal("the process still reads through the cache");
}

}  // namespace bench
