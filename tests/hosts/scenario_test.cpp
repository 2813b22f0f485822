// Scenario input: a line that cannot run stops the run before any event
// runs, naming the line; an event that fails when it runs stops the rest.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/settings_format.h"
#include "tests/hosts/road_fixture.h"

namespace road_test {
namespace {

using nlohmann::json;
using testing::ElementsAre;
using testing::IsEmpty;

// A message that would be recorded, and logged, if any event ran.
const std::string kReceive = R"({"at":0,"receive":{"text":"Hi"}})";

struct BadLine {
  std::string scenario;
  std::string error;
};

void PrintTo(const BadLine& badLine, std::ostream* out) {
  *out << testing::PrintToString(badLine.scenario);
}

class MalformedScenario : public RoadTest, public testing::WithParamInterface<BadLine> {};

TEST_P(MalformedScenario, StopsBeforeAnyEventRunsNamingTheLine) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
  const auto result = run(GetParam().scenario);

  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errors, GetParam().error + "\n");
  // Only the app's start: the chat manager reading the switch.
  EXPECT_THAT(result.of("switch"), ElementsAre(std::pair<double, json>(0, {{"on", true}})));
  EXPECT_THAT(result.of("received"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MalformedScenario,
    testing::Values(
        BadLine{kReceive + "\n{\"at\":1,\"receive\":", "line 2: not valid JSON"},
        BadLine{kReceive + "\n\n# a comment\n[1,2]", "line 4: not a JSON object"},
        BadLine{R"({"receive":{}})", R"(line 1: "at" must be a number of seconds)"},
        BadLine{R"({"at":"1","receive":{}})", R"(line 1: "at" must be a number of seconds)"},
        BadLine{R"({"at":-1,"receive":{}})", R"(line 1: "at" must not be negative)"},
        BadLine{R"({"at":5,"receive":{}})"
                "\n"
                R"({"at":4.5,"receive":{}})",
                R"(line 2: "at" goes back in time, from 5 to 4.5)"},
        BadLine{R"({"at":0,"wave":{}})", R"(line 1: unknown event "wave")"},
        BadLine{R"({"at":0})", R"(line 1: a line holds "at" and exactly one event)"},
        BadLine{R"({"at":0,"receive":{},"terminate":true})",
                R"(line 1: a line holds "at" and exactly one event)"},
        BadLine{R"({"at":0,"terminate":true})"
                "\n" +
                    kReceive,
                R"(line 2: no event may follow "terminate")"},
        BadLine{R"({"at":0,"terminate":false})", R"(line 1: "terminate": expects true)"},
        BadLine{R"({"at":0,"receive":{"text":5}})",
                R"(line 1: "receive": "text" must be a text or null)"},
        BadLine{R"({"at":0,"receive":{"from":"Ann"}})",
                R"(line 1: "receive": unknown member "from")"},
        BadLine{R"({"at":0,"receive":{"chat":{"group":"yes"}}})",
                R"(line 1: "receive": "group" must be true or false)"},
        BadLine{R"({"at":0,"receive":{"chat":{"sessionType":1.5}}})",
                R"(line 1: "receive": "sessionType" must be a whole number)"},
        BadLine{R"({"at":0,"receive":{"chat":{"nick":"x"}}})",
                R"(line 1: "receive": unknown chat member "nick")"},
        BadLine{R"({"at":0,"openChat":[]})", R"(line 1: "openChat": a chat is an object)"},
        BadLine{R"({"at":0,"tap":1})", R"(line 1: "tap": expects a text)"},
        BadLine{R"({"at":0,"settings":[]})", R"(line 1: "settings": expects an object)"},
        BadLine{R"({"at":0,"rules":"none"})", R"(line 1: "rules": expects an object)"}));

TEST_F(RoadTest, ATapThatFindsNoButtonStopsTheRunWhereItIs) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
  const auto result = run(R"({"at":0,"note":"before"})"
                          "\n"
                          R"({"at":1,"tap":"Ok"})"
                          "\n"
                          R"({"at":2,"note":"after"})");

  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errors, "line 2: no alert is shown to tap \"Ok\" on\n");
  EXPECT_EQ(result.of("note"), (std::vector<std::pair<double, json>>{{0, "before"}}));
}

TEST_F(RoadTest, SettingsAndRulesEventsWriteTheFilesAsAnotherProcessWould) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
  const auto result =
      run(R"({"at":0,"settings":{"isGlobalEnabled":true,"isGlobAutoEnabled":true,)"
          R"("customReplyGlob":"From the file","customReplyGlobDelay":0}})"
          "\n"
          R"({"at":0,"rules":{"GLOBALGLOBALGLOBAL":{"hi":{"customMatchRe":"Rule"}}}})"
          "\n"
          R"({"at":1,"receive":{"text":"hi there","chat":{}}})"
          "\n"
          R"({"at":10,"rules":{}})"
          "\n"
          R"({"at":11,"settings":{"isWordMatchGlob":true}})"
          "\n"
          R"({"at":12,"receive":{"text":"hi again","chat":{}}})");

  ASSERT_EQ(result.status, 0) << result.errors;
  const auto sent = result.of("sent");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], (std::pair<double, json>(4, {{"contactIdentifier", nullptr},
                                                  {"displayName", nullptr},
                                                  {"text", "From the file"}})));
  EXPECT_EQ(sent[1].second["text"], "From the file");
}

}  // namespace
}  // namespace road_test
