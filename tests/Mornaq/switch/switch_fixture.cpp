#include "tests/Mornaq/switch/switch_fixture.h"

#include <png.h>

#include <filesystem>
#include <fstream>

#include "common/settings_format.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/uikit/uikit.h"

namespace switch_test {

SwitchTest::SwitchTest(std::string_view bundleIdentifier)
    : test(std::string(bundleIdentifier)),
      observation_(platform::DarwinNotifyCenter::shared().addObserver(
          [this](const std::string& name) { posts.push_back(name); })) {
  platform::uikit::registerClasses(test.process().runtime());
  std::filesystem::create_directories(test.hostPath(mornaq::format::kPreferencesFolder));
}

std::optional<platform::Dictionary> SwitchTest::mainSettings() const {
  auto read = platform::readPlistIfPresent(mornaq::format::kMainSettingsPath);
  if (!read) return std::nullopt;
  return std::move(*read);
}

void SwitchTest::writeMainSettings(const platform::Dictionary& settings) {
  writeFile(mornaq::format::kMainSettingsPath, platform::serializePropertyList(settings));
}

void SwitchTest::writeFile(std::string_view devicePath, std::string_view bytes) {
  const auto path = test.hostPath(devicePath);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string pngBytes(int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_GRAY;
  const std::vector<png_byte> pixels(static_cast<std::size_t>(width) * height, 0x80);
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string bytes(size, '\0');
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr)) {
    ADD_FAILURE() << "cannot encode a test image";
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace switch_test
