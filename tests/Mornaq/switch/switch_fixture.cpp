#include "tests/Mornaq/switch/switch_fixture.h"

#include <filesystem>

#include "common/settings_format.h"
#include "platform/foundation/plist_codec.h"
#include "platform/uikit/uikit.h"
#include "tests/support/test_files.h"

namespace switch_test {

SwitchTest::SwitchTest(std::string_view bundleIdentifier)
    : test(std::string(bundleIdentifier)),
      observation_(platform::DarwinNotifyCenter::shared().addObserver(
          [this](const std::string& name) { posts.push_back(name); })) {
  platform::uikit::registerClasses(test.process().runtime());
  std::filesystem::create_directories(test.hostPath(mornaq::format::kPreferencesFolder));
}

std::optional<platform::Dictionary> SwitchTest::mainSettings() const {
  return testing_support::plistIfPresent(mornaq::format::kMainSettingsPath);
}

void SwitchTest::writeMainSettings(const platform::Dictionary& settings) {
  test.writeFile(mornaq::format::kMainSettingsPath, platform::serializePropertyList(settings));
}

}  // namespace switch_test
