#include "platform/uikit/image.h"

#include <png.h>

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "platform/process/process.h"
#include "platform/uikit/object_factory.h"

namespace platform::uikit {
namespace {

// The pixel size of a PNG file, after decoding it whole: a file whose header
// is fine but whose data is damaged must give no image either.
std::optional<CGSize> decodedPixelSize(const std::filesystem::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return std::nullopt;
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
  // Both calls release the decoder themselves, on success and on failure.
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return std::nullopt;
  return CGSize{static_cast<double>(image.width), static_cast<double>(image.height)};
}

// UIKit reads the scale from the file name: "icon@2x.png" holds 2 pixels a point.
double scaleOfName(const std::string& stem) {
  for (int scale : {2, 3}) {
    if (stem.ends_with("@" + std::to_string(scale) + "x")) return scale;
  }
  return 1;
}

}  // namespace

UIImage::UIImage(const Class* cls, std::string name, CGSize pixelSize, double scale)
    : Object(cls), name_(std::move(name)), pixelSize_(pixelSize), scale_(scale) {}

std::shared_ptr<UIImage> UIImage::initWithContentsOfFile(std::string_view devicePath) {
  auto file = Process::current().root().map(devicePath);
  if (!file) return nullptr;
  auto pixelSize = decodedPixelSize(*file);
  if (!pixelSize) return nullptr;
  std::string name = file->stem().string();
  const double scale = scaleOfName(name);
  return makeObject<UIImage>("UIImage", std::move(name), *pixelSize, scale);
}

std::shared_ptr<UIImage> UIImage::imageNamed(std::string_view name, std::string_view bundlePath) {
  for (std::string_view suffix : {"", "@2x", "@3x"}) {
    const std::string path =
        std::string(bundlePath) + "/" + std::string(name) + std::string(suffix) + ".png";
    if (auto image = initWithContentsOfFile(path)) return image;
  }
  return nullptr;
}

}  // namespace platform::uikit
