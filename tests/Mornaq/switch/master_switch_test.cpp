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
namespace format = mornaq::format;

const std::string kTweakKey(format::kIsTweakEnabled);
const std::string kPrefsUpdated(format::kPrefsUpdatedNotification);

class MasterSwitchTest : public switch_test::SwitchTest {};

TEST_F(MasterSwitchTest, AMissingFileIsCreatedHoldingTheSwitch) {
  MqSetState(true);
  EXPECT_EQ(mainSettings(), (Dictionary{{kTweakKey, true}}));
  EXPECT_THAT(test.log(), ElementsAre("[Mornaq] ARSetState:-1"));
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
  ASSERT_EQ(test.log().size(), 2u);  // where the file went, then the state
  EXPECT_EQ(test.log().back(), "[Mornaq] ARSetState:-0");
  EXPECT_THAT(posts, ElementsAre(kPrefsUpdated));
}

TEST_F(MasterSwitchTest, AFailedWriteIsLoggedAndTheFailureCarriesItsReason) {
  std::filesystem::create_directories(test.hostPath(format::kMainSettingsPath));

  MqSetState(true);

  const std::string path(format::kMainSettingsPath);
  ASSERT_NE(MqSetStateFailure(), nullptr);
  EXPECT_EQ(std::string(MqSetStateFailure()),
            "cannot write " + path + ": could not read it: Is a directory");
  EXPECT_THAT(test.log(), ElementsAre("[Mornaq] could not write " + path +
                                          ": could not read it: Is a directory",
                                      "[Mornaq] ARSetState:-1"));

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

// What MqGetState answers and logs for what is stored under the switch.
struct StoredSwitch {
  const char* name;
  std::optional<Value> stored;  // nullopt: no key
  bool state;
  const char* logged;
};

class MqGetStateTest : public switch_test::SwitchTest,
                       public ::testing::WithParamInterface<StoredSwitch> {};

TEST_P(MqGetStateTest, ReadsTheStoredSwitchAndLogsIt) {
  Dictionary settings{{"isGlobalEnabled", true}};
  if (GetParam().stored) settings[kTweakKey] = *GetParam().stored;
  writeMainSettings(settings);

  EXPECT_EQ(MqGetState(), GetParam().state);
  EXPECT_THAT(test.log(), ElementsAre(std::string("[Mornaq] ARGetState:-") + GetParam().logged));
  EXPECT_TRUE(posts.empty());
}

INSTANTIATE_TEST_SUITE_P(Stored, MqGetStateTest,
                         ::testing::Values(StoredSwitch{"Absent", std::nullopt, false, "(null)"},
                                           StoredSwitch{"Yes", Value(true), true, "1"},
                                           StoredSwitch{"No", Value(false), false, "0"},
                                           StoredSwitch{"Text", Value("YES"), true, "YES"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MasterSwitchTest, GetStateWithoutAFileIsOffAndLogsTheMissingObject) {
  EXPECT_FALSE(MqGetState());
  EXPECT_THAT(test.log(), ElementsAre("[Mornaq] ARGetState:-(null)"));
}

}  // namespace
