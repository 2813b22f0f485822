#pragma once
// A fresh process with the UIKit and Preferences classes, a bundle folder in
// its device root, and the navigation stack the Settings app puts pages in.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/preferences/class_registry.h"
#include "platform/preferences/list_controller.h"
#include "platform/uikit/uikit.h"
#include "platform/uikit/view_controller.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

namespace preferences_testing {

using testing_support::writePlist;

inline constexpr std::string_view kBundle = "/Library/PreferenceBundles/Test.bundle";

struct Fixture {
  Fixture() {
    platform::uikit::registerClasses(process.process().runtime());
    platform::preferences::registerClasses(process.process().runtime());
    outer = platform::uikit::UINavigationController::create();
    inner = platform::uikit::UINavigationController::create();
    outer->pushViewController(inner, false);
  }

  testing_support::TestProcess process;
  // The Settings app's navigation controller, and the pages' one inside it.
  std::shared_ptr<platform::uikit::UINavigationController> outer;
  std::shared_ptr<platform::uikit::UINavigationController> inner;
};

}  // namespace preferences_testing
