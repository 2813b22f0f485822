// `mornaq replay` as a user runs it: exports as the app writes them rehearsed
// by the real app with the add-on, at the reply policies' edges, several
// files with a bad one among them, and, for generated exports, the replies
// it reports equal to what `mornaq whatsapp --virtual-time` sends for the
// same timeline written as a scenario.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "tests/support/time_zone.h"
#include "tests/tools/command_fixture.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::HasSubstr;
using tools_test::Finished;

constexpr std::string_view kSettings =
    "<key>isTweakEnabled</key><true/><key>isGlobalEnabled</key><true/>"
    "<key>isGlobAutoEnabled</key><true/><key>customReplyGlob</key><string>Away</string>"
    "<key>customReplyGlobDelay</key><string>2</string>";

// Every file under a folder with its content.
std::map<std::string, std::string> filesUnder(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files[entry.path().string()] =
        entry.is_regular_file() ? tools_test::readFile(entry.path()) : "";
  }
  return files;
}

class ReplayCommand : public tools_test::CommandTest {
 protected:
  ReplayCommand() { EXPECT_EQ(mornaq({"install", "--root", root}).status, 0); }

  Finished mornaq(const std::vector<std::string>& arguments) {
    return tools_test::runMornaq(arguments, "", folder);
  }

  // An export named as the app names Ann Lee's chat, so Tom is the owner.
  std::string writeExport(std::string_view lines) {
    const fs::path path = folder / "WhatsApp Chat with Ann Lee.txt";
    testing_support::writeFile(path, lines);
    return path.string();
  }

  // The replay's JSON lines of the contact's messages, and its summary.
  std::vector<json> replayed(std::string_view lines) {
    const Finished run = mornaq({"replay", "--root", root, "--json", writeExport(lines)});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<json> contacts;
    for (const auto& object : tools_test::events(run.out)) {
      if (object.contains("summary") || !object["you"].get<bool>()) contacts.push_back(object);
    }
    return contacts;
  }

  testing_support::TimeZone zone{"UTC"};
};

TEST_F(ReplayCommand, TheUserAnsweringBeforeTheReplyLeavesHoldsItBack) {
  writeMainSettings(std::string(kSettings) + "<key>isCancelOnUserReply</key><true/>");
  const auto objects = replayed(
      "[07/12/2026, 10:00:00] Ann Lee: Are you there?\n"
      "[07/12/2026, 10:00:04] Tom: Yes, one second\n"
      "[07/12/2026, 10:30:00] Ann Lee: Still there?\n");
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0]["stoppedBy"], "userReplied");
  EXPECT_EQ(objects[0]["reply"], nullptr);
  EXPECT_THAT(objects[0]["why"].get<std::string>(), HasSubstr("You wrote to Ann Lee 4 s after"));
  EXPECT_EQ(objects[1]["reply"], json::parse(R"({"text":"Away","at":"2026-12-07T10:30:05"})"));
  EXPECT_EQ(objects[2]["summary"], json::parse(R"({"chat":"Ann Lee","received":2,"answered":1,
                            "stoppedBy":{"userReplied":1}})"));
}

TEST_F(ReplayCommand, ReplyOnceHoldsAcrossMidnightUntilItsHoursHavePassed) {
  writeMainSettings(std::string(kSettings) + "<key>isReplyOnce</key><true/>");
  const auto objects = replayed(
      "[07/12/2026, 23:59:00] Ann Lee: Still up?\n"
      "[08/12/2026, 00:01:00] Ann Lee: Hello?\n"
      "[08/12/2026, 23:58:00] Ann Lee: Almost a day\n"
      "[09/12/2026, 00:30:00] Ann Lee: Morning\n");
  ASSERT_EQ(objects.size(), 5u);
  EXPECT_EQ(objects[0]["reply"]["at"], "2026-12-07T23:59:05");
  EXPECT_EQ(objects[1]["stoppedBy"], "replyOnce");
  EXPECT_EQ(objects[2]["stoppedBy"], "replyOnce");
  EXPECT_EQ(objects[3]["reply"]["at"], "2026-12-09T00:30:05");
}

TEST_F(ReplayCommand, PrintsEachMessageOnOneLineWithWhatMornaqWouldHaveDone) {
  writeMainSettings(kSettings);
  const std::string longText(80, 'a');
  const Finished run = mornaq({"replay", "--root", root,
                               writeExport("[14/12/2026, 10:00:00] Ann Lee: Hi\nsecond line\n"
                                           "[14/12/2026, 10:00:30] Tom: Hello\n"
                                           "[14/12/2026, 23:59:59] Ann Lee: " +
                                           longText + "\n")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "WhatsApp Chat with Ann Lee.txt: Ann Lee (not in your address book); you are Tom\n"
            "\n"
            "2026-12-14 10:00:00  Ann Lee  Hi ⏎ second line\n"
            "                              → 10:00:05  Away\n"
            "2026-12-14 10:00:30  You      Hello\n"
            "2026-12-14 23:59:59  Ann Lee  " +
                longText.substr(0, 72) +
                "…\n"
                "                              → 2026-12-15 00:00:04  Away\n"
                "\n"
                "Ann Lee\n"
                "  received          2\n"
                "  answered          2  (global reply 2)\n"
                "  held back         0\n"
                "  not answered      0\n");
}

TEST_F(ReplayCommand, ReadsTheSamplesWithoutWritingTheRootAndSaysWhatItAssumed) {
  writeMainSettings(kSettings);
  const auto before = filesUnder(root);
  const struct {
    std::string file;
    std::vector<std::string> me;  // none: the phone's own lines tell
    std::size_t messages;
    std::string ownersText;
    bool assumed;
  } samples[] = {{"ios_en_gb.txt", {}, 7, "Same to you: all the best\nand many more", false},
                 {"ios_it.txt", {}, 4, "Grazie: anche a te", false},
                 {"android_en_us.txt", {"--me", "Tom"}, 6, "Yes! 8:30 at the usual place", false},
                 {"android_de.txt", {"--me", "Lena"}, 5, "", false},
                 {"old_2012.txt", {"--me", "Tom"}, 2, "Hi\nit has been a while", true}};
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.file);
    std::vector<std::string> arguments{"replay", "--root", root, "--json"};
    arguments.insert(arguments.end(), sample.me.begin(), sample.me.end());
    arguments.push_back(std::string(REPLAY_EXPORTS) + "/" + sample.file);
    const Finished run = mornaq(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto objects = tools_test::events(run.out);
    ASSERT_EQ(objects.size(), sample.messages + 1);
    EXPECT_TRUE(objects.back().contains("summary"));
    const auto owners = std::find_if(objects.begin(), objects.end(),
                                     [](const json& object) { return object.value("you", false); });
    ASSERT_NE(owners, objects.end());
    if (!sample.ownersText.empty()) {
      EXPECT_EQ((*owners)["text"], sample.ownersText);
    }
    EXPECT_FALSE(owners->contains("reply"));
    EXPECT_EQ(run.err.find("day first was taken") != std::string::npos, sample.assumed);
  }
  EXPECT_EQ(filesUnder(root), before);
}

TEST_F(ReplayCommand, ABadFileAmongSeveralStopsNothingElse) {
  testing_support::writeFile(folder / "notes.txt", "shopping list\nmilk\n");
  const std::string group = std::string(REPLAY_EXPORTS) + "/android_en_group.txt";
  const Finished run =
      mornaq({"replay", "--root", root, "--me", "Tom", (folder / "notes.txt").string(), group});
  EXPECT_EQ(run.status, 2);
  EXPECT_THAT(run.err, HasSubstr("notes.txt"));
  EXPECT_THAT(run.err, HasSubstr("shopping list"));
  EXPECT_THAT(run.out, HasSubstr("is a group chat: Mornaq never answers group chats."));
  EXPECT_THAT(run.out, HasSubstr("Mornaq is switched off on this phone"));
  EXPECT_THAT(run.out, HasSubstr("Who is this?"));
}

// The generated conversations start on 14 March 2026 at 09:00, in UTC.
const std::chrono::sys_seconds kStart =
    std::chrono::sys_days{std::chrono::year{2026} / 3 / 14} + std::chrono::hours{9};

std::string isoTime(std::int64_t at) {
  return fmt::format("{:%Y-%m-%dT%H:%M:%S}", kStart + std::chrono::seconds{at});
}

struct Generated {
  std::string exportLines;
  std::string scenario;
};

// A conversation of Ann Lee and Tom at random times, as the phone exports
// it and as the scenario that says the same.
Generated generate(unsigned seed) {
  std::mt19937 random(seed);
  const int gaps[] = {1, 2, 3, 5, 20, 600, 3000, 90000};
  const char* texts[] = {"Hi", "Lunch?", "Are you there?", "😀 ok", "a: b"};
  Generated generated;
  std::int64_t at = 0;
  for (int i = 0; i < 40; ++i) {
    const bool tom = random() % 3 == 0;
    const std::string text = texts[random() % std::size(texts)];
    generated.exportLines +=
        fmt::format("[{:%d/%m/%Y, %H:%M:%S}] {}: {}\n", kStart + std::chrono::seconds{at},
                    tom ? "Tom" : "Ann Lee", text);
    generated.scenario += fmt::format(
        R"({{"at":{},"{}":{{"text":{},"chat":{{"contactIdentifier":null,"displayName":"Ann Lee"}}}}}})"
        "\n",
        at, tom ? "send" : "receive", json(text).dump());
    at += gaps[random() % std::size(gaps)];
  }
  return generated;
}

TEST_F(ReplayCommand, RepliesEqualWhatTheAppSendsForTheSameTimelineAsAScenario) {
  writeMainSettings(std::string(kSettings) +
                    "<key>isReplyOnce</key><true/><key>replyOnceHours</key><string>1</string>"
                    "<key>isCancelOnUserReply</key><true/><key>isAwayOnly</key><true/>"
                    "<key>awayMinutes</key><string>1</string>"
                    "<key>loopGuardReplies</key><string>2</string>"
                    "<key>customReplyGlob</key><string>A :or: B :or: C</string>");
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    const Generated generated = generate(seed);
    std::vector<std::pair<std::string, std::string>> fromReplay;
    for (const auto& object : replayed(generated.exportLines)) {
      if (object.contains("reply") && !object["reply"].is_null()) {
        fromReplay.emplace_back(object["reply"]["text"], object["reply"]["at"]);
      }
    }
    const fs::path scenario = folder / "scenario.jsonl";
    testing_support::writeFile(scenario, generated.scenario);
    const fs::path appRoot = folder / fmt::format("app-{}", seed);
    fs::create_directory(appRoot);
    fs::copy(root, appRoot, fs::copy_options::recursive);
    const Finished app = mornaq({"whatsapp", "--root", appRoot.string(), "--virtual-time",
                                 "--start", isoTime(0), "--json", scenario.string()});
    ASSERT_EQ(app.status, 0) << app.err;
    std::vector<std::pair<std::string, std::string>> fromApp;
    for (const auto& [t, sent] : tools_test::eventsOf(app.out, "sent")) {
      fromApp.emplace_back(sent["text"], isoTime(std::llround(t)));
    }
    EXPECT_EQ(fromReplay, fromApp);
    EXPECT_FALSE(fromApp.empty());
  }
}

}  // namespace
