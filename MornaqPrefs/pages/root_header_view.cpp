#include "MornaqPrefs/pages/root_header_view.h"

#include <algorithm>

#include "platform/preferences/class_registry.h"
#include "platform/uikit/image.h"

namespace mornaqprefs {

using namespace platform::uikit;

namespace {

// The image reaches this far below the header, over the first rows.
constexpr double kOverhang = 35;

}  // namespace

void MNQRootHeaderView::initWithSpecifier(const platform::preferences::SpecifierRef&) {
  auto bundle = platform::preferences::bundlePathForClass(*isa());
  auto image = bundle ? UIImage::imageNamed("header", *bundle) : nullptr;
  if (image && image->size().width > 0 && image->size().height > 0) {
    aspectRatio_ = image->size().width / image->size().height;
  }
  headerImageView_ = UIImageView::initWithImage(image);
  addSubview(headerImageView_);
}

double MNQRootHeaderView::preferredHeightForWidth(double width) {
  currentWidth_ = width;
  if (!aspectRatio_) return 0;
  return std::max(0.0, width / *aspectRatio_ - kOverhang);
}

void MNQRootHeaderView::setFrame(const CGRect& frame) {
  UITableViewHeaderFooterView::setFrame({frame.x, 0, frame.width, frame.height});
  if (!headerImageView_) return;
  headerImageView_->setFrame(
      {(frame.width - currentWidth_) * 0.5, 0, currentWidth_, frame.height + kOverhang});
}

}  // namespace mornaqprefs
