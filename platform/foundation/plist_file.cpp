#include "platform/foundation/plist_file.h"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/foundation/file_io.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_cache.h"
#include "platform/foundation/plist_codec.h"
#include "platform/process/process.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The host path of a device path, or why it has none.
Result<fs::path> hostPath(std::string_view devicePath) {
  auto file = Process::current().root().map(devicePath);
  if (!file) return Failure{"the path is not inside the device root"};
  return std::move(*file);
}

Result<Dictionary> dictionaryFrom(std::string_view bytes) {
  auto value = parsePropertyList(bytes);
  PLATFORM_TRY(value);
  if (!value->isDictionary()) return Failure{"its root is not a dictionary"};
  return std::move(*value->dictionary());
}

// Moved-aside copies of a file kept beside it: the newest few, which show what went wrong, and
// not every copy of a file that keeps breaking.
constexpr std::size_t kMovedAsideKept = 3;

fs::path movedAside(const fs::path& file, int n) {
  fs::path aside = file;
  aside += ".malformed-" + std::to_string(n);
  return aside;
}

// The n of every "<name>.malformed-<n>" beside file, smallest (oldest) first.
std::vector<int> movedAsideNumbers(const fs::path& file) {
  const std::string prefix = file.filename().string() + ".malformed-";
  std::vector<int> numbers;
  std::error_code error;
  for (fs::directory_iterator entry(file.parent_path(), error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    const char* digits = name.data() + prefix.size();
    int n = 0;
    if (!name.starts_with(prefix)) continue;
    const auto [last, failed] = std::from_chars(digits, name.data() + name.size(), n);
    if (failed == std::errc() && last == name.data() + name.size() && n > 0) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// Renames a file that cannot be parsed, for the reason given, to "<name>.malformed-<n>", n one
// above the newest copy's, then removes all but the kMovedAsideKept newest. Callers hold the
// update lock, so no other writer picks the same name meanwhile.
Result<> moveAside(std::string_view devicePath, const fs::path& file, std::string_view reason) {
  std::vector<int> numbers = movedAsideNumbers(file);
  const int n = numbers.empty() ? 1 : numbers.back() + 1;
  const fs::path aside = movedAside(file, n);
  if (std::rename(file.c_str(), aside.c_str()) != 0) {
    const std::error_code renameError(errno, std::generic_category());
    return Failure{"could not move the unreadable file aside: " + renameError.message()};
  }
  NSLog(fmt::format("moved unreadable settings file {} aside to {}.malformed-{}: {}", devicePath,
                    devicePath, n, reason));
  numbers.push_back(n);
  for (std::size_t i = 0; i + kMovedAsideKept < numbers.size(); ++i) {
    std::error_code ignored;
    fs::remove(movedAside(file, numbers[i]), ignored);
  }
  return {};
}

// What an update starts from: the file's dictionary, or empty when the file is missing or was
// moved aside. A failure when the file is there but cannot be read: it must not be
// replaced by what would look like its content.
Result<Dictionary> readForUpdate(std::string_view devicePath, const fs::path& file) {
  const auto bytes = readWholeFile(file);
  if (!bytes && bytes.failure().code == std::errc::no_such_file_or_directory) return Dictionary{};
  if (!bytes) return Failure{"could not read it: " + bytes.reason()};
  auto dictionary = dictionaryFrom(*bytes);
  if (dictionary) return std::move(*dictionary);
  PLATFORM_TRY(moveAside(devicePath, file, dictionary.reason()));
  return Dictionary{};
}

// The update lock of a file: "<name>.lock" beside it, its folder created when missing.
Result<ExclusiveFileLock> lockForUpdate(const fs::path& file) {
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  if (error) return systemFailure(error);
  fs::path lockFile = file;
  lockFile += ".lock";
  return lockExclusively(lockFile);
}

PlistRead readAfresh(const fs::path& file) {
  const auto bytes = readWholeFile(file);
  if (!bytes) return Failure{"could not read it: " + bytes.reason(), bytes.failure().code};
  auto dictionary = dictionaryFrom(*bytes);
  PLATFORM_TRY(dictionary);
  return std::make_shared<const Dictionary>(std::move(*dictionary));
}

PlistRead readSnapshot(std::string_view devicePath) {
  const auto file = hostPath(devicePath);
  PLATFORM_TRY(file);
  return readThroughCache(*file, readAfresh);
}

}  // namespace

Result<Dictionary> readPlistIfPresent(std::string_view devicePath) {
  const auto read = readSnapshot(devicePath);
  PLATFORM_TRY(read);
  return **read;
}

Dictionary readPlist(std::string_view devicePath) {
  const auto read = readSnapshot(devicePath);
  return read ? **read : Dictionary{};
}

std::shared_ptr<const Dictionary> readPlistShared(std::string_view devicePath) {
  static const auto kEmpty = std::make_shared<const Dictionary>();
  const auto read = readSnapshot(devicePath);
  return read ? *read : kEmpty;
}

Result<> updatePlist(std::string_view devicePath, const PlistChange& change) {
  const auto file = hostPath(devicePath);
  PLATFORM_TRY(file);

  const auto lock = lockForUpdate(*file);
  PLATFORM_TRY(lock);
  removeLeftoverTemporaries(*file);

  auto dictionary = readForUpdate(devicePath, *file);
  PLATFORM_TRY(dictionary);
  if (!change(*dictionary)) return {};
  return replaceFileAtomically(*file, serializePropertyList(*dictionary));
}

Result<bool> seedPlistIfMissing(std::string_view devicePath, std::string_view seedDevicePath) {
  const auto file = hostPath(devicePath);
  PLATFORM_TRY(file);
  const auto seed = hostPath(seedDevicePath);
  PLATFORM_TRY(seed);

  const auto lock = lockForUpdate(*file);
  PLATFORM_TRY(lock);
  std::error_code error;
  if (fs::exists(fs::symlink_status(*file, error))) return false;
  const auto bytes = readWholeFile(*seed);
  if (!bytes) return Failure{"could not read the seed: " + bytes.reason(), bytes.failure().code};
  PLATFORM_TRY(replaceFileAtomically(*file, *bytes));
  return true;
}

}  // namespace platform
