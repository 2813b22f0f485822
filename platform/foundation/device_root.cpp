#include "platform/foundation/device_root.h"

namespace platform {

DeviceRoot::DeviceRoot(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::optional<std::filesystem::path> DeviceRoot::map(std::string_view devicePath) const {
  const std::filesystem::path device(devicePath);
  if (!device.is_absolute()) return std::nullopt;
  std::filesystem::path mapped = folder_;
  for (const auto& part : device.relative_path().lexically_normal()) {
    if (part == "..") return std::nullopt;
    if (part.empty() || part == ".") continue;
    mapped /= part;
  }
  return mapped;
}

}  // namespace platform
