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
  writeFile(format::kMainSettingsPath, damaged);

  MqSetState(true);

  EXPECT_EQ(mainSettings(), (Dictionary{{kTweakKey, true}}));
  const auto folder = test.hostPath(format::kPreferencesFolder);
  int keptAside = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ostringstream bytes;
    bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    if (bytes.str() == damaged) ++keptAside;
  }
  EXPECT_EQ(keptAside, 1);
  ASSERT_EQ(test.log().size(), 2u);
  EXPECT_EQ(test.log().back(), "[Mornaq] ARSetState:-1");
  EXPECT_THAT(posts, ElementsAre(kPrefsUpdated));
}

TEST_F(MasterSwitchTest, EveryOtherKeyOfEveryTypeSurvives) {
  const Dictionary others{
      {"customReplyGlob", "Back soon"},
      {"isGlobalEnabled", true},
      {"someCount", 42},
      {"someReal", 2.5},
      {"someData", platform::Data{{0, 1, 2}}},
      {"someDate", platform::Date{86400}},
      {"someList", platform::Array{"a", 1}},
      {"contact-key", Dictionary{{"isContactEnabled", true}, {"customReply", "Hi"}}},
  };
  writeMainSettings(others);

  MqSetState(false);

  Dictionary expected = others;
  expected[kTweakKey] = false;
  EXPECT_EQ(mainSettings(), expected);
}

TEST_F(MasterSwitchTest, EveryCallWritesPostsAndLogsEvenWithoutAChange) {
  for (bool state : {true, true, false, false}) {
    MqSetState(state);
    EXPECT_EQ(lookUp(*mainSettings(), kTweakKey), Value(state));
  }
  EXPECT_THAT(test.log(), ElementsAre("[Mornaq] ARSetState:-1", "[Mornaq] ARSetState:-1",
                                      "[Mornaq] ARSetState:-0", "[Mornaq] ARSetState:-0"));
  EXPECT_EQ(posts.size(), 4u);
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
                                           StoredSwitch{"TextYes", Value("YES"), true, "YES"},
                                           StoredSwitch{"TextNo", Value("no"), false, "no"},
                                           StoredSwitch{"Number", Value(2), true, "2"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MasterSwitchTest, GetStateWithoutAFileIsOffAndLogsTheMissingObject) {
  EXPECT_FALSE(MqGetState());
  EXPECT_THAT(test.log(), ElementsAre("[Mornaq] ARGetState:-(null)"));
  EXPECT_FALSE(mainSettings());
}

TEST_F(MasterSwitchTest, GetStateReadsWhatSetStateWrote) {
  MqSetState(true);
  EXPECT_TRUE(MqGetState());
  MqSetState(false);
  EXPECT_FALSE(MqGetState());
}

}  // namespace
