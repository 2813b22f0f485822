// `mornaq explain` as a user runs it: the answer for a message given as an
// argument or typed line by line, read from the device root as the messaging
// app would read it, without changing a file there; and the why-trace of
// `mornaq whatsapp --why` as readable lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/tools/command_fixture.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::HasSubstr;
using tools_test::Finished;

const std::string kAnn =
    R"({"text":"Lunch?","chat":{"contactIdentifier":"ann:ABPerson","displayName":"Ann"}})";

class ExplainCommand : public tools_test::CommandTest {
 protected:
  ExplainCommand() { EXPECT_EQ(mornaq({"install", "--root", root}).status, 0); }

  Finished mornaq(const std::vector<std::string>& arguments, std::string_view input = "") {
    return tools_test::runMornaq(arguments, input, folder);
  }

  // Every file under the root with its content and time of change.
  std::map<std::string, std::pair<std::string, fs::file_time_type>> rootFiles() {
    std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      files[entry.path().string()] = {
          entry.is_regular_file() ? tools_test::readFile(entry.path()) : "",
          entry.last_write_time()};
    }
    return files;
  }
};

TEST_F(ExplainCommand, AMissingMainSettingsIsReadAsTheSeedAndNothingIsWritten) {
  const auto before = rootFiles();
  const Finished unseeded = mornaq({"explain", "--root", root, "--json", kAnn});
  ASSERT_EQ(unseeded.status, 0) << unseeded.err;
  EXPECT_EQ(json::parse(unseeded.out)["stoppedBy"], "switch");
  EXPECT_EQ(rootFiles(), before);

  writeMainSettings(
      "<key>isTweakEnabled</key><true/><key>isGlobalEnabled</key><true/>"
      "<key>isGlobAutoEnabled</key><true/>");
  const auto written = rootFiles();
  const Finished answered = mornaq({"explain", "--root", root, "--json", kAnn});
  ASSERT_EQ(answered.status, 0) << answered.err;
  EXPECT_EQ(json::parse(answered.out)["sendsAt"], 6.0);
  EXPECT_EQ(rootFiles(), written);
}

TEST_F(ExplainCommand, EachTypedLineIsAnsweredAsItArrivesFromTheFilesAsTheyAreThen) {
  writeMainSettings("<key>isTweakEnabled</key><true/>");
  tools_test::LiveCommand explain({"explain", "--root", root, "--json"}, folder / "err");
  explain.send(kAnn + "\n");
  ASSERT_TRUE(explain.waitForLine("noPath"));
  writeMainSettings(
      "<key>isTweakEnabled</key><true/><key>isGlobalEnabled</key><true/>"
      "<key>isGlobAutoEnabled</key><true/><key>customReplyGlobDelay</key>"
      "<string>abc</string>");
  explain.send("{\"text\":\n" + kAnn + "\n");
  ASSERT_TRUE(explain.waitForLine("sendsAt\":3.0"));
  EXPECT_EQ(explain.finish(), 2);
  ASSERT_EQ(explain.lines().size(), 2u);
  EXPECT_EQ(tools_test::readFile(folder / "err"), "line 2: not valid JSON\n");
}

TEST_F(ExplainCommand, ReadableAnswersAndMalformedMessages) {
  writeMainSettings(
      "<key>isTweakEnabled</key><true/><key>bob</key><dict>"
      "<key>isContactBlackList</key><true/></dict>");
  const Finished bob =
      mornaq({"explain", "--root", root,
              R"({"text":"Hi","chat":{"contactIdentifier":"bob:ABPerson","displayName":"Bob"}})"});
  EXPECT_EQ(bob.status, 0);
  EXPECT_THAT(bob.out, testing::StartsWith("No reply: Bob is on the blacklist.\n"
                                           "  switch     Mornaq was switched on when the message "
                                           "arrived.\n"));

  const Finished malformed =
      mornaq({"explain", "--root", root, R"({"text":"Hi","chat":{"muted":"yes"}})"});
  EXPECT_EQ(malformed.status, 2);
  EXPECT_EQ(malformed.err, "line 1: \"muted\" must be true or false\n");
  EXPECT_EQ(malformed.out, "");
}

TEST_F(ExplainCommand, TheMessagingAppPrintsAWhyLineOnlyWhenAsked) {
  writeMainSettings("<key>isTweakEnabled</key><true/>");
  const std::string scenario = R"({"at":0,"receive":)" + kAnn + "}\n";
  const Finished traced = mornaq({"whatsapp", "--root", root, "--virtual-time", "--why"}, scenario);
  const Finished plain = mornaq({"whatsapp", "--root", root, "--virtual-time"}, scenario);
  EXPECT_THAT(traced.out,
              HasSubstr("   1.000s why     No reply: Ann's own reply is not on, and the global "
                        "reply is off.\n"));
  EXPECT_THAT(plain.out, testing::Not(HasSubstr("why")));
}

}  // namespace
