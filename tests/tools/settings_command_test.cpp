// `mornaq settings` run as a program of its own: the Settings app on the
// installed bundle, driven by a script, and what it writes answered by
// `mornaq whatsapp` in another process.
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/tools/command_fixture.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::HasSubstr;

using Result = tools_test::Finished;
using tools_test::events;
using tools_test::readFile;

class SettingsCommand : public tools_test::CommandTest {
 protected:
  // Runs `mornaq <arguments> --root ROOT --json FILE` with input written to FILE.
  Result mornaq(const std::string& arguments, const std::string& input) {
    testing_support::writeFile(folder / "input", input);
    return tools_test::runShell("'" MORNAQ_COMMAND "' " + arguments + " --root '" + root.string() +
                                    "' --json '" + (folder / "input").string() + "'",
                                "", folder);
  }
  void install() {
    const std::string command =
        "'" MORNAQ_COMMAND "' install --root '" + root.string() + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  bool settingsFileExists() {
    return fs::exists(root /
                      "var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefs.plist");
  }
};

TEST_F(SettingsCommand, AGlobalReplyAndRulesSetInTheSettingsAppAreWhatTheMessagingAppAnswers) {
  install();
  const Result settings = mornaq("settings", R"({"alert":"Ok"}
{"set":{"key":"isTweakEnabled","value":true}}
{"tap":"Global Reply"}
{"set":{"key":"isGlobalEnabled","value":true}}
{"set":{"key":"isWordMatchGlob","value":true}}
{"set":{"key":"isGlobAutoEnabled","value":true}}
{"type":{"key":"customReplyGlob","text":"In a meeting, :name:."}}
{"set":{"key":"customReplyGlobDelay","value":"1"}}
{"bar":"Save"}
{"alert":"Ok"}
{"tap":"Multiple Word Matching"}
{"bar":"add"}
{"fields":["lunch","Back at two.","2"]}
{"alert":"Add"}
)");
  ASSERT_EQ(settings.status, 0) << settings.err;

  const Result whatsapp = mornaq("whatsapp --virtual-time", R"(
{"at":0,"receive":{"text":"Lunch today?","chat":{"contactIdentifier":"ann:ABPerson","displayName":"Ann"}}}
{"at":30,"receive":{"text":"Call me","chat":{"contactIdentifier":"bob:ABPerson","displayName":"Bob"}}}
)");
  ASSERT_EQ(whatsapp.status, 0) << whatsapp.err;

  std::vector<json> sent;
  for (const auto& event : events(whatsapp.out)) {
    if (event.contains("sent")) sent.push_back(event);
  }
  ASSERT_EQ(sent.size(), 2u) << whatsapp.out;
  EXPECT_EQ(sent[0]["sent"]["displayName"], "Ann");
  EXPECT_EQ(sent[0]["sent"]["text"], "Back at two.");
  EXPECT_EQ(sent[0]["t"], 5.0);  // 3 s of screening and decision, then the rule's 2 s
  EXPECT_EQ(sent[1]["sent"]["displayName"], "Bob");
  EXPECT_EQ(sent[1]["sent"]["text"], "In a meeting, Bob.");
  EXPECT_EQ(sent[1]["t"], 34.0);
}

// Files whose texts hold a byte 0xFF, as another program may leave them: the JSON output shows it
// as U+FFFD, the run goes on, and reading the files leaves them as they were.
TEST_F(SettingsCommand, TextsThatAreNotUtf8PrintAsReplacementCharactersAndTheFilesStayAsTheyWere) {
  install();
  const fs::path preferences = root / "var/mobile/Library/Preferences";
  const std::string mainSettings = testing_support::xmlPlist(
      "<key>isTweakEnabled</key><true/><key>isGlobalEnabled</key><true/>"
      "<key>isGlobAutoEnabled</key><true/><key>customReplyGlob</key><string>Busy \xFF</string>"
      "<key>customReplyGlobDelay</key><string>1</string><key>firstInstall71</key><true/>"
      "<key>update75</key><true/><key>update752</key><false/>");
  const std::string rules = testing_support::xmlPlist(
      "<key>GLOBALGLOBALGLOBAL</key><dict><key>lunch\xFF</key><dict>"
      "<key>customMatch</key><string>lunch\xFF</string><key>customMatchRe</key><string>x</string>"
      "<key>customMatchReDelay</key><string>1</string></dict></dict>");
  testing_support::writeFile(preferences / "com.corvane.halbrin.mornaqprefs.plist", mainSettings);
  testing_support::writeFile(preferences / "com.corvane.halbrin.mornaqprefsWM.plist", rules);

  const struct {
    const char* command;
    const char* input;
  } runs[] = {
      {"whatsapp --virtual-time",
       R"({"at":0,"receive":{"text":"Hi","chat":{"contactIdentifier":"ann:ABPerson"}}})"},
      {"settings", R"({"tap":"Global Reply"}
{"tap":"Multiple Word Matching"}
{"show":true})"},
  };
  for (const auto& run : runs) {
    const Result result = mornaq(run.command, std::string(run.input) + "\n");
    EXPECT_EQ(result.status, 0) << run.command << ": " << result.err;
    EXPECT_THAT(result.out, HasSubstr("\xEF\xBF\xBD")) << run.command;
    EXPECT_NO_THROW(events(result.out)) << run.command;
  }
  EXPECT_EQ(readFile(preferences / "com.corvane.halbrin.mornaqprefs.plist"), mainSettings);
  EXPECT_EQ(readFile(preferences / "com.corvane.halbrin.mornaqprefsWM.plist"), rules);
}

TEST_F(SettingsCommand, PrintsTheRootPageAfterItsNoticeAndEveryPageItOpens) {
  install();
  const Result result = mornaq("settings", "{\"alert\":\"Ok\"}\n{\"tap\":\"Global Reply\"}\n");
  ASSERT_EQ(result.status, 0) << result.err;
  const auto printed = events(result.out);
  ASSERT_EQ(printed.size(), 4u) << result.out;
  EXPECT_EQ(printed[0]["alert"]["title"], "\xF0\x9F\x98\x8D Mornaq 0.7.6 \xF0\x9F\x98\x8D");
  EXPECT_EQ(printed[1]["page"]["class"], "MNQRootListController");
  EXPECT_EQ(printed[1]["page"]["title"], "Mornaq");
  EXPECT_EQ(printed[1]["page"]["rows"][0]["header"]["height"], 152.5);
  EXPECT_EQ(printed[2]["dismiss"]["title"], printed[0]["alert"]["title"]);
  EXPECT_EQ(printed[3]["page"]["class"], "MNQGlobalListController");
  const json enabled = {{"cell", "PSSwitchCell"},
                        {"label", "Enabled"},
                        {"key", "isGlobalEnabled"},
                        {"value", false},
                        {"detail", nullptr}};
  EXPECT_EQ(printed[3]["page"]["rows"][1], enabled);
}

TEST_F(SettingsCommand, AMalformedLineStopsTheRunBeforeAnyActionRuns) {
  install();
  const Result result = mornaq("settings", "{\"alert\":\"Ok\"}\n\n# a comment\n{\"tap\":3}\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_THAT(result.err, HasSubstr("line 4: \"tap\" takes a row title or {\"detail\":CLASS}"));
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(settingsFileExists());
}

TEST_F(SettingsCommand, AnActionThatMatchesNothingOnScreenStopsTheRunThere) {
  install();
  const Result result =
      mornaq("settings", "{\"alert\":\"Ok\"}\n{\"tap\":\"Nowhere\"}\n{\"tap\":\"Reddit\"}\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_THAT(result.err, HasSubstr("line 2: no row titled \"Nowhere\" on this page"));
  EXPECT_THAT(result.out, testing::Not(HasSubstr("openURL")));
}

TEST_F(SettingsCommand, WithoutTheBundleInstalledThereIsNothingToOpen) {
  const Result result = mornaq("settings", "");
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("no settings bundle MornaqPrefs is installed"));
}

}  // namespace

TEST_F(SettingsCommand, AChoiceRowTakesOnlyOneOfItsValues) {
  install();
  const Result result = mornaq("settings", R"({"alert":"Ok"}
{"tap":"Global Reply"}
{"set":{"key":"audienceGlob","value":"friends"}}
)");
  EXPECT_EQ(result.status, 2);
  EXPECT_THAT(result.err, HasSubstr(R"(line 3: "friends" is not one of the values of "Reply to": )"
                                    R"("everyone", "contacts", "nonContacts")"));
}
