// `mornaq springboard` and `mornaq switch` run as programs of their own,
// against a device root that `mornaq install` laid out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/tools/command_fixture.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;
using testing::Pair;
using tools_test::eventsOf;
using tools_test::Finished;
using tools_test::LiveCommand;

const std::string kOn = "com.corvane.halbrin.mornaqactivator/ONN";

class HomeScreenCommands : public tools_test::CommandTest {
 protected:
  void SetUp() override {
    const auto installed = mornaq({"install", "--root", root});
    ASSERT_EQ(installed.status, 0) << installed.err;
  }

  Finished mornaq(const std::vector<std::string>& arguments, std::string_view input = "") {
    return tools_test::runMornaq(arguments, input, folder);
  }

  std::string switchState() { return mornaq({"switch", "--root", root}).out; }
};

TEST_F(HomeScreenCommands, TheHomeScreenShowsEachNoticeOnceThenListsAndRunsTheListeners) {
  const auto result = mornaq({"springboard", "--root", root, "--virtual-time", "--json"},
                             R"({"at":0,"homeScreen":true})"
                             "\n"
                             R"({"at":1,"tap":"Ok"})"
                             "\n"
                             R"({"at":2,"homeScreen":true})"
                             "\n"
                             R"({"at":3,"tap":"Ok"})"
                             "\n"
                             R"({"at":4,"homeScreen":true})"
                             "\n"
                             R"({"at":5,"listeners":true})"
                             "\n"
                             R"({"at":6,"activator":")" +
                                 kOn + "\"}\n");

  ASSERT_EQ(result.status, 0) << result.err;
  // The whole output, log lines included, is pinned by the home screen's
  // transcript (tests/tools/transcripts/springboard.transcript).
  const auto titles = [&](std::string_view kind) {
    std::vector<std::pair<double, json>> shown;
    for (const auto& [t, facts] : eventsOf(result.out, kind)) shown.emplace_back(t, facts["title"]);
    return shown;
  };
  const std::string welcome = "😍 Thanks 😍";
  const std::string update = "😍 Mornaq 0.7.6 😍";
  EXPECT_THAT(titles("alert"), ElementsAre(Pair(0, welcome), Pair(2, update)));
  EXPECT_THAT(titles("dismiss"), ElementsAre(Pair(1, welcome), Pair(3, update)));
  EXPECT_THAT(titles("listener"), ElementsAre(Pair(5, "Mornaq OFF"), Pair(5, "Mornaq ON")));
  EXPECT_THAT(eventsOf(result.out, "switch"), ElementsAre(Pair(6, json{{"on", true}})));
  EXPECT_THAT(eventsOf(result.out, "darwin"),
              ElementsAre(Pair(6, "com.corvane.halbrin.mornaqprefs/prefsupdated")));
  EXPECT_EQ(switchState(), "on\n");
}

// Each row: a scenario line and the error that stops the run before anything happens.
struct BadLine {
  const char* line;
  const char* error;
};

TEST_F(HomeScreenCommands, BadScenarioLinesExitWithTwoNamingTheLine) {
  const BadLine cases[] = {
      {R"({"at":0,"homeScreen":false})", "line 1: \"homeScreen\": expects true\n"},
      {R"({"at":0,"listeners":"all"})", "line 1: \"listeners\": expects true\n"},
      {R"({"at":0,"activator":"nobody"})", "line 1: no listener is registered as \"nobody\"\n"},
  };
  for (const auto& bad : cases) {
    const auto result = mornaq({"springboard", "--root", root, "--virtual-time", "--json"},
                               std::string(bad.line) + "\n");
    EXPECT_EQ(result.status, 2) << bad.line;
    EXPECT_EQ(result.err, bad.error) << bad.line;
    EXPECT_EQ(result.out, "") << bad.line;
  }
}

TEST_F(HomeScreenCommands, SwitchSetsAndPrintsTheMasterSwitch) {
  EXPECT_EQ(switchState(), "off\n");
  const auto on = mornaq({"switch", "on", "--root", root});
  EXPECT_EQ(on.status, 0);
  EXPECT_EQ(on.out, "");  // the library's log lines, on standard error, are in the transcript
  EXPECT_EQ(switchState(), "on\n");
  EXPECT_EQ(mornaq({"switch", "off", "--root", root}).status, 0);
  EXPECT_EQ(switchState(), "off\n");
}

TEST_F(HomeScreenCommands, SwitchRefusesAnUnknownStateAndARootWithoutTheLibrary) {
  EXPECT_NE(mornaq({"switch", "maybe", "--root", root}).status, 0);
  const fs::path empty = folder / "empty";
  fs::create_directory(empty);
  const auto result = mornaq({"switch", "on", "--root", empty.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("cannot load the hook library"));
}

TEST_F(HomeScreenCommands, SwitchExitsWithOneAndTheReasonWhenItsWriteFails) {
  // A folder where MainSettings belongs cannot be read, so it is not replaced.
  fs::create_directories(fs::path(root) /
                         "var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefs.plist");
  for (const char* state : {"on", "off"}) {
    const auto result = mornaq({"switch", state, "--root", root});
    EXPECT_EQ(result.status, 1) << state;
    EXPECT_THAT(result.err, HasSubstr("mornaq switch: the switch was not stored: cannot write "
                                      "/var/mobile/Library/Preferences/"
                                      "com.corvane.halbrin.mornaqprefs.plist"))
        << state;
  }
}

TEST_F(HomeScreenCommands, SwitchingOnWhileTheMessagingAppRunsScreensFromTheNextMessage) {
  writeMainSettings(
      "<key>isTweakEnabled</key><false/><key>isGlobalEnabled</key><true/>"
      "<key>isGlobAutoEnabled</key><true/><key>customReplyGlob</key><string>Busy</string>"
      "<key>customReplyGlobDelay</key><string>0</string>");
  LiveCommand app({"whatsapp", "--root", root, "--json", "--why"}, folder / "whatsapp-err");

  app.send(R"({"at":0,"receive":{"text":"Before","chat":{"displayName":"Ann"}}})"
           "\n"
           R"({"at":0,"note":"switching on"})"
           "\n");
  ASSERT_TRUE(app.waitForLine("switching on"));
  EXPECT_THAT(app.lines(), Contains(HasSubstr(R"("switch":{"on":false})")));
  ASSERT_EQ(mornaq({"switch", "on", "--root", root}).status, 0);
  app.send(R"({"at":0,"receive":{"text":"After","chat":{"displayName":"Ann"}}})"
           "\n");
  // With its input closed the app ends once its timers have run, so a
  // missing line fails the test instead of holding it.
  app.closeInput();
  ASSERT_TRUE(app.waitForLine(R"("message":"After")"));

  EXPECT_EQ(app.finish(), 0);
  EXPECT_THAT(app.lines(), Contains(HasSubstr(R"("switch":{"on":true})")));
  std::map<std::string, std::vector<std::string>> steps;  // of each message's why
  for (const auto& line : app.lines()) {
    const auto event = json::parse(line);
    if (!event.contains("why")) continue;
    auto& taken = steps[event["why"]["message"]];
    for (const auto& step : event["why"]["steps"]) taken.push_back(step["step"]);
  }
  // "Before" stopped as it arrived; "After" went through screening and the
  // decision, but replies leave only through observers that the chat manager
  // registers at launch, when the switch was still off.
  EXPECT_THAT(steps["Before"], ElementsAre("switch"));
  EXPECT_THAT(steps["After"], Contains("noPath"));
  EXPECT_EQ(steps["After"].back(), "switch");
  EXPECT_THAT(app.lines(), Not(Contains(HasSubstr("\"sent\""))));
}

}  // namespace
