#include "tests/support/png_bytes.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

namespace testing_support {

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

}  // namespace testing_support
