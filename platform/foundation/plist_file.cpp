#include "platform/foundation/plist_file.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/foundation/file_io.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_cache.h"
#include "platform/foundation/plist_codec.h"
#include "platform/process/process.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::optional<Dictionary> dictionaryFrom(std::string_view bytes) {
  auto value = parsePropertyList(bytes);
  if (!value || !value->isDictionary()) return std::nullopt;
  return std::move(*value->dictionary());
}

bool failedToWrite(std::string_view devicePath, std::string_view reason) {
  NSLog(fmt::format("Mornaq: could not write {}: {}", devicePath, reason));
  return false;
}

// Renames a file that cannot be parsed to "<name>.malformed-<n>", with the first n not taken.
// Callers hold the update lock, so no other writer picks the same name meanwhile.
bool moveAside(std::string_view devicePath, const fs::path& file) {
  for (int n = 1;; ++n) {
    const std::string suffix = ".malformed-" + std::to_string(n);
    fs::path aside = file;
    aside += suffix;
    std::error_code error;
    if (fs::exists(fs::symlink_status(aside, error))) continue;
    if (std::rename(file.c_str(), aside.c_str()) != 0) {
      const std::error_code renameError(errno, std::generic_category());
      return failedToWrite(devicePath,
                           "could not move the unreadable file aside: " + renameError.message());
    }
    NSLog(fmt::format("Mornaq: moved unreadable settings file {} aside to {}{}", devicePath,
                      devicePath, suffix));
    return true;
  }
}

// What an update starts from: the file's dictionary, or empty when the file is missing or was
// moved aside. nullopt (logged) when the file is there but cannot be read: it must not be
// replaced by what would look like its content.
std::optional<Dictionary> readForUpdate(std::string_view devicePath, const fs::path& file) {
  std::string bytes;
  const std::error_code error = readWholeFile(file, bytes);
  if (error == std::errc::no_such_file_or_directory) return Dictionary{};
  if (error) {
    failedToWrite(devicePath, "could not read it: " + error.message());
    return std::nullopt;
  }
  if (auto dictionary = dictionaryFrom(bytes)) return dictionary;
  if (!moveAside(devicePath, file)) return std::nullopt;
  return Dictionary{};
}

// The update lock of a file: "<name>.lock" beside it, its folder created when missing.
Result<std::unique_ptr<ExclusiveFileLock>> lockForUpdate(const fs::path& file) {
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  if (error) return systemFailure(error);
  fs::path lockFile = file;
  lockFile += ".lock";
  auto lock = std::make_unique<ExclusiveFileLock>(lockFile);
  if (lock->error()) return systemFailure(lock->error());
  return lock;
}

PlistSnapshot readAfresh(const fs::path& file) {
  std::string bytes;
  if (readWholeFile(file, bytes)) return nullptr;
  auto dictionary = dictionaryFrom(bytes);
  return dictionary ? std::make_shared<const Dictionary>(std::move(*dictionary)) : nullptr;
}

PlistSnapshot readSnapshotIfPresent(std::string_view devicePath) {
  const auto file = Process::current().root().map(devicePath);
  return file ? readThroughCache(*file, readAfresh) : nullptr;
}

}  // namespace

std::optional<Dictionary> readPlistIfPresent(std::string_view devicePath) {
  const auto snapshot = readSnapshotIfPresent(devicePath);
  return snapshot ? std::optional<Dictionary>(*snapshot) : std::nullopt;
}

Dictionary readPlist(std::string_view devicePath) {
  const auto snapshot = readSnapshotIfPresent(devicePath);
  return snapshot ? *snapshot : Dictionary{};
}

std::shared_ptr<const Dictionary> readPlistShared(std::string_view devicePath) {
  static const auto kEmpty = std::make_shared<const Dictionary>();
  auto snapshot = readSnapshotIfPresent(devicePath);
  return snapshot ? snapshot : kEmpty;
}

bool updatePlist(std::string_view devicePath, const PlistChange& change) {
  const auto file = Process::current().root().map(devicePath);
  if (!file) return failedToWrite(devicePath, "the path is not inside the device root");

  const auto lock = lockForUpdate(*file);
  if (!lock) return failedToWrite(devicePath, lock.reason());

  auto dictionary = readForUpdate(devicePath, *file);
  if (!dictionary) return false;
  if (!change(*dictionary)) return true;
  const std::error_code error = replaceFileAtomically(*file, serializePropertyList(*dictionary));
  return error ? failedToWrite(devicePath, error.message()) : true;
}

Result<bool> seedPlistIfMissing(std::string_view devicePath, std::string_view seedDevicePath) {
  const auto& root = Process::current().root();
  const auto file = root.map(devicePath);
  const auto seed = root.map(seedDevicePath);
  if (!file || !seed) return Failure{"the path is not inside the device root"};

  const auto lock = lockForUpdate(*file);
  if (!lock) return lock.failure();
  std::error_code error;
  if (fs::exists(fs::symlink_status(*file, error))) return false;
  std::string bytes;
  if (auto readError = readWholeFile(*seed, bytes)) {
    return systemFailure(readError, "could not read the seed: " + readError.message());
  }
  if (auto writeError = replaceFileAtomically(*file, bytes)) return systemFailure(writeError);
  return true;
}

}  // namespace platform
