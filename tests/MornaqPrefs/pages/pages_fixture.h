#pragma once
// A fresh Settings app process with the bundle's classes registered and its
// resources installed in the device root, and the two navigation controllers
// the Settings app shows pages in.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "MornaqPrefs/pages/page_classes.h"
#include "common/settings_format.h"
#include "platform/foundation/plist_file.h"
#include "platform/preferences/class_registry.h"
#include "platform/preferences/list_controller.h"
#include "platform/uikit/uikit.h"
#include "platform/uikit/view_controller.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

namespace platform {
// Failures print values as Foundation describes them.
inline void PrintTo(const Value& value, std::ostream* out) { *out << value.description(); }
}  // namespace platform

namespace pages_testing {

namespace format = mornaq::format;
using platform::Dictionary;
using platform::Value;
using platform::preferences::PSCellType;
using platform::preferences::PSSpecifier;
using platform::preferences::SpecifierRef;
using testing_support::writePlist;

class PagesFixture {
 public:
  PagesFixture() {
    platform::uikit::registerClasses(process.process().runtime());
    platform::preferences::registerClasses(process.process().runtime());
    mornaqprefs::registerPageClasses();
    const auto bundle = process.hostPath(format::kBundlePath);
    std::filesystem::create_directories(bundle);
    std::filesystem::copy(MORNAQPREFS_RESOURCES, bundle,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    outer = platform::uikit::UINavigationController::create();
    inner = platform::uikit::UINavigationController::create();
    outer->pushViewController(inner, false);
  }

  // Opens a page of the bundle as a tap on opener does.
  template <class Page>
  std::shared_ptr<Page> open(std::string_view className, const SpecifierRef& opener) {
    auto page = platform::preferences::allocate<Page>(className);
    if (!page) return nullptr;
    page->setSpecifier(opener);
    inner->pushViewController(page, true);
    return page;
  }
  static SpecifierRef linkTo(std::string name, std::string_view className) {
    return PSSpecifier::preferenceSpecifierNamed(std::move(name), nullptr, std::nullopt,
                                                 std::nullopt, std::string(className),
                                                 PSCellType::Link);
  }

  // The file as it is now; nullopt when there is none.
  static std::optional<Dictionary> file(std::string_view path) {
    return testing_support::plistIfPresent(path);
  }

  const platform::uikit::UIAlertController* alert() const {
    return platform::uikit::Screen::current().top().get();
  }
  bool tap(std::string_view button) { return platform::uikit::Screen::current().tap(button); }

  testing_support::TestProcess process;
  // The Settings app's navigation controller, and the pages' one inside it.
  std::shared_ptr<platform::uikit::UINavigationController> outer;
  std::shared_ptr<platform::uikit::UINavigationController> inner;
};

// The row of a page with that title.
SpecifierRef rowTitled(platform::preferences::PSListController& page, std::string_view title);
SpecifierRef rowWithKey(platform::preferences::PSListController& page, std::string_view key);

}  // namespace pages_testing
