#pragma once
// UIImage for PNG files on the device: decoded with libpng, so a file that is
// missing, truncated or not a PNG gives no image. An image is a host object,
// so a row property (a platform::Value) can hold it. The size is in points: the
// pixel size divided by the scale that an "@2x" or "@3x" name suffix gives.
#include <memory>
#include <string_view>

#include "platform/runtime/object.h"
#include "platform/uikit/geometry.h"

namespace platform::uikit {

class UIImage : public Object {
 public:
  UIImage(const Class* cls, CGSize pixelSize, double scale);

  // imageWithContentsOfFile: / initWithContentsOfFile: with a device path.
  static std::shared_ptr<UIImage> initWithContentsOfFile(std::string_view devicePath);
  // imageNamed:inBundle:compatibleWithTraitCollection: with no trait
  // collection: "<name>.png" in the bundle folder, else its "@2x" or "@3x" form.
  static std::shared_ptr<UIImage> imageNamed(std::string_view name, std::string_view bundlePath);

  CGSize size() const { return {pixelSize_.width / scale_, pixelSize_.height / scale_}; }
  double scale() const { return scale_; }

 private:
  CGSize pixelSize_;
  double scale_;
};

}  // namespace platform::uikit
