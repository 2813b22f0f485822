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

const std::string kAnnSaysHello =
    R"({"at":0,"receive":{"text":"Hello","chat":{"contactIdentifier":"ann:ABPerson","displayName":"Ann"}}})";

const Dictionary kAnswerEverybody{{"isTweakEnabled", true},
                                  {"isGlobalEnabled", true},
                                  {"isGlobAutoEnabled", true},
                                  {"customReplyGlob", "Away, :name:"},
                                  {"customReplyGlobDelay", "2"}};

std::pair<double, json> at(double t, json facts) { return {t, std::move(facts)}; }

// A reply's road as the app reports it to programs. The whole output of the
// same run, log lines included, is pinned by the messaging app's transcript
// (tests/tools/transcripts/whatsapp.transcript).
TEST_F(RoadTest, AMessageIsAnsweredThreeSecondsPlusTheReplysDelayLater) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello);

  ASSERT_EQ(result.status, 0) << result.errors;
  EXPECT_THAT(result.of("switch"), ElementsAre(at(0, {{"on", true}}),    // the chat manager starts
                                               at(0, {{"on", true}})));  // the message arrives
  EXPECT_THAT(result.of("received"), ElementsAre(at(0, {{"id", 1},
                                                        {"text", "Hello"},
                                                        {"chat",
                                                         {{"contactIdentifier", "ann:ABPerson"},
                                                          {"displayName", "Ann"},
                                                          {"group", false},
                                                          {"sessionType", 0},
                                                          {"muted", false}}}})));
  EXPECT_THAT(result.of("launch"),
              ElementsAre(at(1, {{"identifier", "com.apple.MobileSMS"}, {"suspended", true}})));
  EXPECT_THAT(result.of("reply"), ElementsAre(at(5, {{"id", 1},
                                                     {"sent", true},
                                                     {"text", "Away, Ann"},
                                                     {"stoppedBy", nullptr},
                                                     {"why", nullptr}})));
  EXPECT_THAT(result.of("sent"), ElementsAre(at(5, {{"contactIdentifier", "ann:ABPerson"},
                                                    {"displayName", "Ann"},
                                                    {"text", "Away, Ann"}})));
}

TEST_F(RoadTest, AContactsWordMatchRuleAnswersWithItsOwnDelay) {
  writeFile(mornaq::format::kMainSettingsPath,
            {{"isTweakEnabled", true},
             {"ann", Dictionary{{"isContactEnabled", true}, {"isWordMatch", true}}}});
  writeFile(mornaq::format::kRuleSettingsPath,
            {{"ann", Dictionary{{"hello", Dictionary{{"customMatch", "hello"},
                                                     {"customMatchRe", "Hi:newline:there"},
                                                     {"customMatchReDelay", "1"}}}}}});
  const auto result = run(kAnnSaysHello, "2.20.110.30", true);

  const auto why = result.of("why");
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].first, 3);
  EXPECT_EQ(why[0].second["rule"], json({{"owner", "ann"}, {"word", "hello"}}));
  ASSERT_EQ(result.of("sent").size(), 1u);
  EXPECT_EQ(result.of("sent")[0].first, 4);
  EXPECT_EQ(result.of("sent")[0].second["text"], "Hi\nthere");
}

class InitialiserVariant : public RoadTest, public testing::WithParamInterface<std::string> {};

TEST_P(InitialiserVariant, TheAppsOwnChatManagerInitialiserIsHooked) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello, GetParam());

  // Each sender reports its own copy of the reply: one sender, registered by
  // the one initialiser the app calls.
  EXPECT_EQ(result.of("reply").size(), 1u);
  ASSERT_EQ(result.of("sent").size(), 1u);
  EXPECT_EQ(result.of("sent")[0].first, 5);
}

// The 17-part initialiser, then the 16-part one of the versions before.
INSTANTIATE_TEST_SUITE_P(Versions, InitialiserVariant,
                         testing::Values("2.20.110.30", "2.20.102", "2.20.100"));

TEST_F(RoadTest, SwitchedOnOnlyAfterTheAppStartedRequestsArePostedButNeverSent) {
  auto switchedOff = kAnswerEverybody;
  switchedOff["isTweakEnabled"] = false;
  writeFile(mornaq::format::kMainSettingsPath, switchedOff);
  const auto result = run(R"({"at":0,"settings":{"isTweakEnabled":true}})"
                          "\n" +
                              kAnnSaysHello,
                          "2.20.110.30", true);

  // The global reply's request is posted at 3 s, and no sender takes it.
  const auto why = result.of("why");
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].first, 3);
  EXPECT_EQ(why[0].second["path"], "global");
  EXPECT_EQ(why[0].second["stoppedBy"], "switch");
  EXPECT_THAT(result.of("reply"), IsEmpty());
  EXPECT_THAT(result.of("sent"), IsEmpty());
}

TEST_F(RoadTest, TerminatingWithTheSwitchOnStopsRepliesStillOnTheirWay) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello + "\n" + R"({"at":1,"terminate":true})");

  EXPECT_THAT(result.of("switch"), Contains(at(1, {{"on", true}})));  // read on termination
  EXPECT_THAT(result.of("reply"), IsEmpty());
  EXPECT_THAT(result.of("sent"), IsEmpty());
}

TEST_F(RoadTest, TerminatingWithTheSwitchOffLeavesTheSenderInPlace) {
  writeFile(mornaq::format::kMainSettingsPath, kAnswerEverybody);
  const auto result = run(kAnnSaysHello + "\n" + R"({"at":1,"settings":{"isTweakEnabled":false}})" +
                          "\n" + R"({"at":1,"terminate":true})");

  EXPECT_THAT(result.of("switch"), Contains(at(1, {{"on", false}})));  // read on termination
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

// A reply's alternatives are chosen from the virtual clock's seed: the same seed repeats every
// choice exactly, another one chooses otherwise.
TEST_F(RoadTest, TheSameSeedRepeatsTheChoiceAmongAlternatives) {
  Dictionary settings = kAnswerEverybody;
  settings["customReplyGlob"] = "One :or: Two :or: Three :or: Four :or: Five";
  writeFile(mornaq::format::kMainSettingsPath, settings);
  std::string scenario;  // a message from each of ten people: no reply policy holds one back
  for (const char person : std::string("0123456789")) {
    scenario += R"({"at":0,"receive":{"text":"Hi","chat":{"displayName":")" +
                std::string(1, person) + "\"}}}\n";
  }
  auto chosen = [&](std::uint64_t withSeed) {
    seed = withSeed;
    std::vector<std::string> texts;
    for (const auto& [t, sent] : run(scenario).of("sent")) texts.push_back(sent["text"]);
    return texts;
  };
  const auto first = chosen(7);
  ASSERT_EQ(first.size(), 10u);
  EXPECT_THAT(first, testing::Each(testing::AnyOf("One", "Two", "Three", "Four", "Five")));
  EXPECT_EQ(chosen(7), first);
  EXPECT_NE(chosen(8), first);
}

}  // namespace
}  // namespace road_test
