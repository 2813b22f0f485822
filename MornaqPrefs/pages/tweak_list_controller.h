#pragma once
// The other-packages page: one button per package of the same publisher, each
// opening that package's page outside the Settings app.
#include <array>
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class ZOVTweakListController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "ZOVTweakListController";

  struct Package {
    std::string_view action;  // the selector the "TweakList" row's button calls
    std::string_view address;
  };
  static constexpr std::array<Package, 4> kPackages{{
      {"openFirstPackage", "https://example.com/packages/first"},
      {"openSecondPackage", "https://example.com/packages/second"},
      {"openThirdPackage", "https://example.com/packages/third"},
      {"openFourthPackage", "https://example.com/packages/fourth"},
  }};

  explicit ZOVTweakListController(const platform::Class* cls)
      : PageChrome(cls, {.plist = "TweakList", .saveButton = false, .tint = kOtherPackagesColour}) {
  }
  static void registerActions(platform::Class& cls);
};

}  // namespace mornaqprefs
