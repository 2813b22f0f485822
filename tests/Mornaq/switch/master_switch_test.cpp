#include "Mornaq/switch/master_switch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/settings_format.h"
#include "tests/Mornaq/switch/switch_fixture.h"

namespace {

using platform::Dictionary;
using platform::Value;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace format = mornaq::format;

const std::string kTweakKey(format::kIsTweakEnabled);
const std::string kPrefsUpdated(format::kPrefsUpdatedNotification);

class MasterSwitchTest : public switch_test::SwitchTest {};

TEST_F(MasterSwitchTest, AMissingFileIsCreatedHoldingTheSwitch) {
  MqSetState(true);
  EXPECT_EQ(mainSettings(), (Dictionary{{kTweakKey, true}}));
  EXPECT_THAT(reports.switches, ElementsAre(true));
  EXPECT_THAT(posts, ElementsAre(kPrefsUpdated));
}

TEST_F(MasterSwitchTest, AMalformedFileIsMovedAsideBeforeTheSwitchIsWritten) {
  const std::string damaged = "<?xml version=\"1.0\"?><plist><dict><key>isTw";
  test.writeFile(format::kMainSettingsPath, damaged);

  MqSetState(false);

  EXPECT_EQ(mainSettings(), (Dictionary{{kTweakKey, false}}));
  int keptAside = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(test.hostPath(format::kPreferencesFolder))) {
    std::ostringstream bytes;
    bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    keptAside += bytes.str() == damaged;
  }
  EXPECT_EQ(keptAside, 1);
  EXPECT_THAT(reports.switches, ElementsAre(false));
  EXPECT_THAT(posts, ElementsAre(kPrefsUpdated));
}

TEST_F(MasterSwitchTest, AFailedWriteIsNotReportedAsTheSwitchAndTheFailureCarriesItsReason) {
  std::filesystem::create_directories(test.hostPath(format::kMainSettingsPath));

  MqSetState(true);

  const std::string path(format::kMainSettingsPath);
  ASSERT_NE(MqSetStateFailure(), nullptr);
  EXPECT_EQ(std::string(MqSetStateFailure()),
            "cannot write " + path + ": could not read it: Is a directory");
  EXPECT_THAT(reports.switches, IsEmpty());
  EXPECT_THAT(posts, ElementsAre(kPrefsUpdated));  // posted all the same

  std::filesystem::remove(test.hostPath(format::kMainSettingsPath));
  MqSetState(true);
  EXPECT_EQ(MqSetStateFailure(), nullptr);
}

TEST_F(MasterSwitchTest, EveryOtherKeyOfEveryTypeSurvives) {
  const Dictionary others{
      {"customReplyGlob", "Back soon"},
      {"someCount", 42},
      {"someReal", 2.5},
      {"someData", platform::Data{{0, 1, 2}}},
      {"someDate", platform::Date{86400}},
      {"someList", platform::Array{"a", 1}},
      {"contact-key", Dictionary{{"isContactEnabled", true}, {"customReply", "Hi"}}},
  };
  writeMainSettings(others);

  MqSetState(true);

  Dictionary expected = others;
  expected[kTweakKey] = true;
  EXPECT_EQ(mainSettings(), expected);
}

// What MqGetState answers for what is stored under the switch (and logs: the
// home screen's transcript shows each form).
struct StoredSwitch {
  const char* name;
  std::optional<Value> stored;  // nullopt: no key
  bool state;
};

class MqGetStateTest : public switch_test::SwitchTest,
                       public ::testing::WithParamInterface<StoredSwitch> {};

TEST_P(MqGetStateTest, ReadsTheStoredSwitchAndChangesNothing) {
  Dictionary settings{{"isGlobalEnabled", true}};
  if (GetParam().stored) settings[kTweakKey] = *GetParam().stored;
  writeMainSettings(settings);

  const auto before = mainSettings();
  EXPECT_EQ(MqGetState(), GetParam().state);
  EXPECT_EQ(mainSettings(), before);
  EXPECT_TRUE(posts.empty());
  EXPECT_THAT(reports.switches, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Stored, MqGetStateTest,
                         ::testing::Values(StoredSwitch{"Absent", std::nullopt, false},
                                           StoredSwitch{"Yes", Value(true), true},
                                           StoredSwitch{"No", Value(false), false},
                                           StoredSwitch{"Text", Value("YES"), true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MasterSwitchTest, GetStateWithoutAFileIsOffAndCreatesNone) {
  EXPECT_FALSE(MqGetState());
  EXPECT_FALSE(mainSettings());
}

}  // namespace
