#pragma once
// The root page's header: the bundle image "header" across the top of its
// group at the image's own aspect ratio, centred, reaching 35 points below
// the header into the rows that follow. Without a usable image the header
// takes no height.
#include <memory>
#include <optional>
#include <string_view>

#include "platform/preferences/header_footer_view.h"
#include "platform/uikit/view.h"

namespace mornaqprefs {

class MNQRootHeaderView : public platform::uikit::UITableViewHeaderFooterView,
                          public platform::preferences::PSHeaderFooterView {
 public:
  static constexpr std::string_view kClassName = "MNQRootHeaderView";

  using UITableViewHeaderFooterView::UITableViewHeaderFooterView;

  void initWithSpecifier(const platform::preferences::SpecifierRef& specifier) override;
  double preferredHeightForWidth(double width) override;
  void setFrame(const platform::uikit::CGRect& frame) override;

 private:
  std::shared_ptr<platform::uikit::UIImageView> headerImageView_;
  double currentWidth_ = 0;
  std::optional<double> aspectRatio_;  // none without a usable image
};

}  // namespace mornaqprefs
