#pragma once
// The device root: every absolute path the phone uses ("/var/mobile/...") is
// mapped into one folder of this machine. Nothing reads or writes outside it.
#include <filesystem>
#include <optional>
#include <string_view>

namespace platform {

class DeviceRoot {
 public:
  explicit DeviceRoot(std::filesystem::path folder);

  const std::filesystem::path& folder() const { return folder_; }

  // The host path of a device path. Relative paths, and paths that would
  // leave the root through "..", map to nothing.
  std::optional<std::filesystem::path> map(std::string_view devicePath) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace platform
