// A received message ends in a sent reply: the simulated messaging app with
// Mornaq.dylib loaded by the loader, as installed into a device root.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/settings_format.h"
#include "tests/hosts/road_fixture.h"

namespace road_test {
namespace {

using nlohmann::json;
using platform::Dictionary;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Not;

const std::string kAnnSaysHello =
    R"({"at":0,"receive":{"text":"Hello","chat":{"contactIdentifier":"ann:ABPerson","displayName":"Ann"}}})";

const Dictionary kAnswerEverybody{{"isTweakEnabled", true},
                                  {"isGlobalEnabled", true},
                                  {"isGlobAutoEnabled", true},
                                  {"customReplyGlob", "Away, :name:"},
                                  {"customReplyGlobDelay", "2"}};

json logLine(double t, const std::string& line) { return {{"t", t}, {"log", line}}; }

// The whole transcript of a reply, pinned here and nowhere else: the engine's
// lines, the hooks' lines and the app's own events, in the order and at the
// times the app prints them. The engine's and the hooks' tests pin their own
// lines, the command's its output format.
TEST_F(RoadTest, AMessageIsAnsweredThreeSecondsPlusTheReplysDelayLater) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello);

  ASSERT_EQ(result.status, 0) << result.errors;
  EXPECT_THAT(
      result.legacyEvents(),
      ElementsAre(
          logLine(0, "[Mornaq] getPlistValue value:-1"),  // the chat manager starts
          logLine(0, "[Mornaq] getPlistValue value:-1"),  // the message arrives
          logLine(1,
                  "Mornaq isGlobalEnabled:-1, trimmedPhoneNumber :-ann isContactBlackList:-0, "
                  "message:-Hello, isContactEnabled:-0, isGlobAutoEnabled:-1"),
          json{{"t", 1.0},
               {"launch", {{"identifier", "com.apple.MobileSMS"}, {"suspended", true}}}},
          logLine(3,
                  "[Mornaq] [GLOBAL] customReplyGlob:-Away, :name:..customMatchGlob:-.."
                  "isGlobAutoEnabled:-1.isWordMatchGlob:-0"),
          logLine(3,
                  "[Mornaq] [GLOBAL] Word didn't Match or isn't enabled will send a reply to "
                  "phoneNumber"),
          logLine(3, "Mornaq[110.30] initWithChatStorageNSNotificationCenter"),
          logLine(5, "Mornaq sendMessage:-ann:ABPerson"),
          json{{"t", 5.0},
               {"sent",
                {{"contactIdentifier", "ann:ABPerson"},
                 {"displayName", "Ann"},
                 {"text", "Away, Ann"}}}}));
}

TEST_F(RoadTest, AContactsWordMatchRuleAnswersWithItsOwnDelay) {
  writeFile(mornaq::format::kMainSettingsPath,
            {{"isTweakEnabled", true},
             {"ann", Dictionary{{"isContactEnabled", true}, {"isWordMatch", true}}}});
  writeFile(mornaq::format::kRuleSettingsPath,
            {{"ann", Dictionary{{"hello", Dictionary{{"customMatch", "hello"},
                                                     {"customMatchRe", "Hi:newline:there"},
                                                     {"customMatchReDelay", "1"}}}}}});
  const auto result = run(kAnnSaysHello);

  EXPECT_THAT(result.of("log"), Contains(std::pair<double, json>(
                                    3,
                                    "[Mornaq] customMatch:-hello, customMatchRe:-Hi:newline:there, "
                                    "customMatchReDelay:-1")));
  ASSERT_EQ(result.of("sent").size(), 1u);
  EXPECT_EQ(result.of("sent")[0].first, 4);
  EXPECT_EQ(result.of("sent")[0].second["text"], "Hi\nthere");
}

struct VariantCase {
  std::string version;
  std::string tag;
};

class InitialiserVariant : public RoadTest, public testing::WithParamInterface<VariantCase> {};

TEST_P(InitialiserVariant, TheAppsOwnChatManagerInitialiserIsHooked) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello, GetParam().version);

  EXPECT_THAT(result.of("log"),
              Contains(std::pair<double, json>(
                  3, "Mornaq[" + GetParam().tag + "] initWithChatStorageNSNotificationCenter")));
  ASSERT_EQ(result.of("sent").size(), 1u);
  EXPECT_EQ(result.of("sent")[0].first, 5);
}

INSTANTIATE_TEST_SUITE_P(Versions, InitialiserVariant,
                         testing::Values(VariantCase{"2.20.110.30", "110.30"},
                                         VariantCase{"2.20.102", "20.100-102"},
                                         VariantCase{"2.20.100", "20.100-102"}));

TEST_F(RoadTest, SwitchedOnOnlyAfterTheAppStartedRequestsArePostedButNeverSent) {
  auto switchedOff = kAnswerEverybody;
  switchedOff["isTweakEnabled"] = false;
  writeFile(mornaq::format::kMainSettingsPath, switchedOff);
  const auto result = run(R"({"at":0,"settings":{"isTweakEnabled":true}})"
                          "\n" +
                          kAnnSaysHello);

  EXPECT_THAT(result.of("log"),
              Contains(std::pair<double, json>(
                  3,
                  "[Mornaq] [GLOBAL] Word didn't Match or isn't enabled will send a reply to "
                  "phoneNumber")));
  EXPECT_THAT(result.of("log"), Not(Contains(std::pair<double, json>(
                                    3, "Mornaq[110.30] initWithChatStorageNSNotificationCenter"))));
  EXPECT_THAT(result.of("sent"), IsEmpty());
}

TEST_F(RoadTest, TerminatingWithTheSwitchOnStopsRepliesStillOnTheirWay) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello + "\n" + R"({"at":1,"terminate":true})");

  EXPECT_THAT(result.of("log"),
              Contains(std::pair<double, json>(1, "Mornaq applicationWillTerminate")));
  EXPECT_THAT(result.of("sent"), IsEmpty());
}

TEST_F(RoadTest, TerminatingWithTheSwitchOffLeavesTheSenderInPlace) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello + "\n" + R"({"at":1,"settings":{"isTweakEnabled":false}})" +
                          "\n" + R"({"at":1,"terminate":true})");

  EXPECT_THAT(result.of("log"),
              Not(Contains(std::pair<double, json>(1, "Mornaq applicationWillTerminate"))));
  ASSERT_EQ(result.of("sent").size(), 1u);
  EXPECT_EQ(result.of("sent")[0].first, 5);
}

TEST_F(RoadTest, TheVersionWarningIsShownAndAnsweredThroughTheScenario) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
  const auto result = run(R"({"at":0,"openChat":{"displayName":"Ann"}})"
                          "\n"
                          R"({"at":2,"tap":"Don't show"})"
                          "\n"
                          R"({"at":3,"openChat":{"displayName":"Ann"}})",
                          "2.20.99");

  ASSERT_EQ(result.status, 0) << result.errors;
  const auto alerts = result.of("alert");
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].first, 0);
  EXPECT_EQ(alerts[0].second["title"], "Mornaq not supported");
  EXPECT_EQ(alerts[0].second["buttons"], json({"Ok", "Don't show"}));
  EXPECT_THAT(result.of("dismiss"),
              ElementsAre(std::pair<double, json>(2, json{{"title", "Mornaq not supported"}})));
}

TEST_F(RoadTest, ARuleDelayStoredAsANumberReachesTheSenderAsThatNumber) {
  struct Row {
    const char* name;
    platform::Value delay;  // customMatchReDelay as the rule file holds it
    double sentAt;
  };
  const std::vector<Row> rows = {
      {"a text", "2", 5},
      {"a whole number", 12, 15},
      // Its text form would be "1.23457e+07", read as 1 s.
      {"a large real", 12345678.0, 12345681},
      {"a real beyond the clock", 1e16, 9223372036.854775807},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    writeFile(mornaq::format::kMainSettingsPath,
              {{"isTweakEnabled", true}, {"isGlobalEnabled", true}, {"isWordMatchGlob", true}});
    writeFile(mornaq::format::kRuleSettingsPath,
              {{"GLOBALGLOBALGLOBAL",
                Dictionary{{"hello", Dictionary{{"customMatchRe", "Hi"},
                                                {"customMatchReDelay", row.delay}}}}}});
    const auto sent = run(kAnnSaysHello).of("sent");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, row.sentAt);
  }
}

}  // namespace
}  // namespace road_test
