#pragma once
// Files laid into a device root as the phone's package manager lays them:
// each written beside its target ("NAME.dpkg-new") and, once every one is
// written, all renamed into place, so that an app running from the root keeps
// the file it opened and never sees half a new one. Until then nothing in the
// root has changed for good: abandoned, or destroyed before commit(), the
// staged files go again, with every folder made for them.
#include <filesystem>
#include <vector>

#include "platform/foundation/device_root.h"
#include "platform/foundation/result.h"
#include "tools/deb_archive.h"

namespace tools {

class StagedFiles {
 public:
  explicit StagedFiles(const platform::DeviceRoot& root) : root_(root) {}
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;
  ~StagedFiles() { abandon(); }

  // The folder at the device path, with the folders above it.
  platform::Result<> folder(std::string_view devicePath);
  // Writes a file for the device path beside it, with these permissions.
  platform::Result<> file(std::string_view devicePath, unsigned permissions,
                          const deb::Content& content);
  // Renames every staged file into place, in the order staged.
  platform::Result<> commit();

 private:
  platform::Result<> makeFolders(const std::filesystem::path& folder);
  void abandon();

  struct Staged {
    std::filesystem::path written;
    std::filesystem::path target;
  };
  const platform::DeviceRoot& root_;
  std::vector<Staged> staged_;
  std::vector<std::filesystem::path> madeFolders_;
};

}  // namespace tools
