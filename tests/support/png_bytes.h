#pragma once
// Real PNG images for the readers of images to decode.
#include <string>

namespace testing_support {

// A grey PNG image of that size in pixels.
std::string pngBytes(int width, int height);

}  // namespace testing_support
