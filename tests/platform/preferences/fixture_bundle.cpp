// A settings bundle for the preference loader's tests: one page class.
#include "platform/preferences/class_registry.h"
#include "platform/preferences/list_controller.h"

extern "C" __attribute__((visibility("default"))) void PSBundleRegisterClasses() {
  platform::preferences::registerBundleClass<platform::preferences::PSListController>(
      "FixtureRootController", "PSListController", "/Library/PreferenceBundles/Fixture.bundle");
}
