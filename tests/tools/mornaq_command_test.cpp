// The `mornaq` command run as a user runs it: a program of its own, its
// input and output through files, its exit status read back.
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_events.h"
#include "tests/tools/command_fixture.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using testing::Each;
using testing::EndsWith;
using testing::HasSubstr;
using testing::MatchesRegex;

using Result = tools_test::Finished;
using tools_test::readFile;

const std::string kMainSettings =
    "var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefs.plist";
const std::string kRuleSettings =
    "var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefsWM.plist";

class MornaqCommand : public tools_test::CommandTest {
 protected:
  Result mornaq(const std::string& arguments, const std::string& input = "") {
    return tools_test::runShell("'" MORNAQ_COMMAND "' " + arguments, input, folder);
  }

  // Every file under the root with its content.
  std::map<std::string, std::string> rootFiles() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.is_regular_file()) {
        files[fs::relative(entry.path(), root).string()] = readFile(entry.path());
      }
    }
    return files;
  }
};

TEST_F(MornaqCommand, InstallLaysThePackageAgainAndAgainAndLeavesTheSettingsAlone) {
  writeRootFile(kMainSettings, "the user's settings");
  writeRootFile(kRuleSettings, "the user's rules");

  const auto first = mornaq("install --root '" + root.string() + "'");
  ASSERT_EQ(first.status, 0) << first.err;
  const auto installed = rootFiles();
  EXPECT_EQ(installed.at("Library/MobileSubstrate/DynamicLibraries/Mornaq.dylib"),
            readFile(MORNAQ_DYLIB));
  EXPECT_THAT(installed.at("Library/MobileSubstrate/DynamicLibraries/Mornaq.plist"),
              HasSubstr("<string>net.whatsapp.WhatsApp</string>"));
  EXPECT_TRUE(installed.contains("Library/PreferenceBundles/MornaqPrefs.bundle/Empty.plist"));
  EXPECT_EQ(installed.at(kMainSettings), "the user's settings");
  EXPECT_EQ(installed.at(kRuleSettings), "the user's rules");

  const auto second = mornaq("install --root '" + root.string() + "'");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(rootFiles(), installed);
}

TEST_F(MornaqCommand, InstallRefusesAMissingRoot) {
  EXPECT_NE(mornaq("install --root '" + (folder / "nowhere").string() + "'").status, 0);
}

TEST_F(MornaqCommand, AScenarioInVirtualTimePrintsItsEventsAsJson) {
  ASSERT_EQ(mornaq("install --root '" + root.string() + "'").status, 0);
  writeMainSettings("<key>isTweakEnabled</key><true/>");
  std::ofstream(folder / "scenario.jsonl")
      << "# Bob gets a reply of his own\n"
         R"({"at":0,"settings":{"bob":{"isContactEnabled":true,"isAutoReplyContact":true,)"
         R"("customReply":"Later, :name:","customReplyDelay":"1"}}})"
         "\n\n"
         R"({"at":0.5,"receive":{"text":"Ping","chat":{"contactIdentifier":"bob:ABPerson","displayName":"Bob"}}})"
         "\n";

  const auto result = mornaq("whatsapp --root '" + root.string() + "' --virtual-time --json '" +
                             (folder / "scenario.jsonl").string() + "'");

  ASSERT_EQ(result.status, 0) << result.err;
  // What the command adds to the app's run (whose every line the road tests
  // pin): one JSON object a line on the virtual clock, from the app's start
  // to Bob's reply, which the scenario's settings gave him.
  std::istringstream out(testing_support::withoutProgramEvents(result.out));
  std::vector<std::string> lines;
  for (std::string line; std::getline(out, line);) lines.push_back(line);
  EXPECT_THAT(lines, Each(MatchesRegex("[{]\"t\":[0-9]+\\.[0-9]+,\"(log|sent)\":.+[}]")));
  // The app's start: the chat manager reads the switch.
  EXPECT_EQ(tools_test::eventsOf(result.out, "switch").at(0),
            (std::pair<double, nlohmann::json>(0, {{"on", true}})));
  EXPECT_THAT(
      testing_support::withoutProgramEvents(result.out),
      EndsWith(
          R"({"t":4.5,"sent":{"contactIdentifier":"bob:ABPerson","displayName":"Bob","text":"Later, Bob"}})"
          "\n"));
}

TEST_F(MornaqCommand, AMalformedScenarioExitsWithTwoNamingTheLine) {
  const auto result = mornaq("whatsapp --root '" + root.string() + "' --virtual-time --json",
                             "{\"at\":0,\"note\":\"fine\"}\n{\"at\":1,\"shout\":\"hey\"}\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "line 2: unknown event \"shout\"\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(MornaqCommand, TheDemoTellsItsStoryAndSucceeds) {
  const auto result = mornaq("demo");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("sent    contactIdentifier: ann-0001:ABPerson"));
  // Ann's whole-word rule "hi" leaves "this" to her own reply, and greets her by her first name.
  EXPECT_THAT(result.out, HasSubstr("displayName: Ann Lee  text: Hi Ann! Give me a minute.\n"));
  EXPECT_THAT(result.out, HasSubstr("68.000s sent    contactIdentifier: ann-0001:ABPerson  "
                                    "displayName: Ann  text: Sorry Ann"));
  EXPECT_THAT(result.out, EndsWith("says:\nNo reply: Bob is on the blacklist.\n"
                                   "  switch     Mornaq was switched on when the message "
                                   "arrived.\n  muted      The chat is not muted.\n"
                                   "  story      It is not a status story.\n"
                                   "  noText     It has a text.\n"
                                   "  group      It is a one-to-one chat.\n"
                                   "  blacklist  Bob is on the blacklist.\n"));
  EXPECT_EQ(result.err, "");
}

TEST_F(MornaqCommand, InRealTimeAMessageTypedOnStandardInputIsAnswered) {
  ASSERT_EQ(mornaq("install --root '" + root.string() + "'").status, 0);
  writeMainSettings(
      "<key>isTweakEnabled</key><true/><key>isGlobalEnabled</key><true/>"
      "<key>isGlobAutoEnabled</key><true/><key>customReplyGlob</key><string>Busy</string>"
      "<key>customReplyGlobDelay</key><string>0</string>");

  const auto result = mornaq("whatsapp --root '" + root.string() + "' --json",
                             R"({"at":0,"receive":{"text":"Hi","chat":{"displayName":"Ann"}}})"
                             "\n");

  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out,
              HasSubstr(R"("sent":{"contactIdentifier":null,"displayName":"Ann","text":"Busy"})"));
}

}  // namespace
