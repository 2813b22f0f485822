#pragma once
// UIImage for PNG files on the device: decoded with libpng, so a file that is
// missing, truncated or not a PNG gives no image. An image is a host object,
// so a row property (a platform::Value) can hold it. The size is in points: the
// pixel size divided by the scale that an "@2x" or "@3x" name suffix gives.
// An image keeps the resource name it was loaded under: its file's name
// without ".png" ("icon@2x"), so that a page description can say which one a
// row shows.
#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/object.h"
#include "platform/uikit/geometry.h"

namespace platform::uikit {

class UIImage : public Object {
 public:
  UIImage(const Class* cls, std::string name, CGSize pixelSize, double scale);

  // imageWithContentsOfFile: / initWithContentsOfFile: with a device path.
  static std::shared_ptr<UIImage> initWithContentsOfFile(std::string_view devicePath);
  // imageNamed:inBundle:compatibleWithTraitCollection: with no trait
  // collection: "<name>.png" in the bundle folder, else its "@2x" or "@3x" form.
  static std::shared_ptr<UIImage> imageNamed(std::string_view name, std::string_view bundlePath);

  CGSize size() const { return {pixelSize_.width / scale_, pixelSize_.height / scale_}; }
  double scale() const { return scale_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  CGSize pixelSize_;
  double scale_;
};

}  // namespace platform::uikit
