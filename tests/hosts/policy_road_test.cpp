// The reply policies on the road: the messaging app with Mornaq.dylib loaded,
// on a virtual clock that starts at a given local date, each policy at its
// edges.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fmt/format.h>

#include "common/reply_history.h"
#include "common/settings_format.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/wall_clock.h"
#include "tests/hosts/road_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

namespace road_test {
namespace {

using platform::Dictionary;

// Replies leave 3 s after the message: the reply's own delay is 0.
Dictionary answerEverybody(Dictionary policies = {}) {
  Dictionary settings{{"isTweakEnabled", true},
                      {"isGlobalEnabled", true},
                      {"isGlobAutoEnabled", true},
                      {"customReplyGlob", "Away"},
                      {"customReplyGlobDelay", "0"}};
  settings.merge(policies);
  return settings;
}

std::string receive(double at, const std::string& name = "Ann") {
  return fmt::format(
      R"({{"at":{},"receive":{{"text":"hi","chat":{{"contactIdentifier":"{}:ABPerson","displayName":"{}"}}}}}})",
      at, name, name);
}

std::string userSends(double at, const std::string& name = "Ann") {
  return fmt::format(
      R"({{"at":{},"send":{{"text":"me","chat":{{"contactIdentifier":"{}:ABPerson","displayName":"{}"}}}}}})",
      at, name, name);
}

std::string lines(std::initializer_list<std::string> events) {
  std::string scenario;
  for (const auto& event : events) scenario += event + "\n";
  return scenario;
}

// The times replies left at, and the policies that held replies back.
std::vector<double> sentTimes(const RunResult& result) {
  std::vector<double> times;
  for (const auto& [t, sent] : result.of("sent")) times.push_back(t);
  return times;
}

// A policy's name and its sentence.
using Held = std::pair<std::string, std::string>;

// The policies decided as the reply leaves tell in the reply's event; the
// schedule, decided at receipt, in the message's why.
std::vector<Held> heldBack(const RunResult& result) {
  std::vector<Held> held;
  for (const auto& event : result.events) {
    if (event.contains("reply") && !event["reply"]["sent"]) {
      held.emplace_back(event["reply"]["stoppedBy"], event["reply"]["why"]);
    }
    if (event.contains("why") && event["why"]["stoppedBy"] == "schedule") {
      held.emplace_back("schedule", event["why"]["steps"].back()["why"]);
    }
  }
  return held;
}

platform::Date localDate(const char* text) { return *platform::parseLocalDateTime(text); }

struct Row {
  const char* name;
  Dictionary policies;
  std::string scenario;
  std::vector<double> sent;
  std::vector<Held> held;
  const char* start = "2026-12-07T10:00:00";  // a Monday
};

class PolicyRoadTest : public RoadTest {
 protected:
  void expectRow(const Row& row) {
    writeFile(mornaq::format::kMainSettingsPath, answerEverybody(row.policies));
    std::filesystem::remove(
        root / "var/mobile/Library/Preferences/com.corvane.halbrin.mornaqhistory.plist");
    start = localDate(row.start);
    const auto result = run(row.scenario, "2.20.110.30", true);
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(sentTimes(result), row.sent) << row.name;
    EXPECT_EQ(heldBack(result), row.held) << row.name;
  }
};

TEST_F(PolicyRoadTest, EachPolicyAtItsEdges) {
  const double day = 24 * 3600;
  const Row rows[] = {
      {"reply once: two messages a second apart get one reply",
       {{"isReplyOnce", true}},
       lines({receive(0), receive(1)}),
       {3},
       {{"replyOnce", "Ann got a reply 1 s ago; Reply once waits 24 h."}}},
      {"reply once: just before the period ends, and as it ends",
       {{"isReplyOnce", true}},
       lines({receive(0), receive(day - 1), receive(day)}),
       {3, day + 3},
       {{"replyOnce", "Ann got a reply 23 h 59 min ago; Reply once waits 24 h."}}},
      {"reply once turned on while a reply waits decides as the reply leaves",
       {},
       lines({receive(0), receive(10), R"({"at":11,"settings":{"isReplyOnce":true}})"}),
       {3},
       {{"replyOnce", "Ann got a reply 10 s ago; Reply once waits 24 h."}}},
      {"reply once counts per chat",
       {{"isReplyOnce", true}},
       lines({receive(0), receive(1, "Bob")}),
       {3, 4},
       {}},
      {"schedule across midnight: Friday's window still open on Saturday morning",
       {{"isScheduleEnabled", true},
        {"scheduleFrom", "22:00"},
        {"scheduleTo", "07:00"},
        {"scheduleDays", "5"}},
       lines({receive(0), receive(1)}),
       {3},
       {{"schedule", "Received at 07:00 on Saturday, outside the schedule's 22:00 to 07:00."}},
       "2026-12-05T06:59:59"},
      {"schedule across midnight: Saturday's window is not one of the days",
       {{"isScheduleEnabled", true},
        {"scheduleFrom", "22:00"},
        {"scheduleTo", "07:00"},
        {"scheduleDays", "5"}},
       lines({receive(0)}),
       {},
       {{"schedule",
         "Received at 00:30 on Sunday: the schedule's 22:00 to 07:00 that opened on Saturday is "
         "not one of its days \"5\"."}},
       "2026-12-06T00:30:00"},
      {"hold back: the user answers a second before the reply leaves, then a second after",
       {{"isCancelOnUserReply", true}},
       lines({receive(0), userSends(2), receive(10), userSends(14)}),
       {13},
       {{"userReplied", "You wrote to Ann 2 s after the message arrived."}}},
      {"away only: just inside its minutes, then just outside",
       {{"isAwayOnly", true}, {"awayMinutes", "1"}},
       lines({userSends(0, "Bob"), receive(56), receive(57)}),
       {60},
       {{"userActive", "You sent a message 59 s ago; Only when away waits 1 min."}}},
  };
  for (const auto& row : rows) expectRow(row);
}

TEST_F(PolicyRoadTest, TheLoopGuardLetsTheTenthReplyOfAnHourLeaveAndDropsTheEleventh) {
  std::string scenario;
  std::vector<double> sent;
  for (int i = 0; i < 11; ++i) {
    scenario += receive(i * 10) + "\n";
    if (i < 10) sent.push_back(i * 10 + 3);
  }
  scenario += receive(3600) + "\n";  // the first reply is an hour old by then
  sent.push_back(3603);
  expectRow({"loop guard",
             {},
             scenario,
             sent,
             {{"loopGuard", "Ann got 10 replies in the last 60 min; the loop guard allows 10."}}});
}

TEST_F(PolicyRoadTest, TheHistoryHoldsAcrossARestartAndAMalformedOneIsMovedAside) {
  const auto historyFile =
      root / "var/mobile/Library/Preferences/com.corvane.halbrin.mornaqhistory.plist";
  testing_support::writeFile(historyFile, "<plist><dict><key>replies");

  writeFile(mornaq::format::kMainSettingsPath, answerEverybody({{"isReplyOnce", true}}));
  start = localDate("2026-12-07T10:00:00");
  const auto first = run(lines({receive(0)}));
  EXPECT_EQ(sentTimes(first), std::vector<double>{3});
  EXPECT_TRUE(std::filesystem::exists(historyFile.string() + ".malformed-1"));

  // The app starts again an hour later: the reply is still recorded.
  start = localDate("2026-12-07T11:00:00");
  const auto second = run(lines({receive(0)}));
  EXPECT_TRUE(sentTimes(second).empty());
  EXPECT_THAT(
      heldBack(second),
      testing::ElementsAre(Held{"replyOnce", "Ann got a reply 1 h ago; Reply once waits 24 h."}));

  const testing_support::TestProcess reader("r", root);
  const auto entries =
      mornaq::format::historyEntries(platform::readPlist(mornaq::format::kReplyHistoryPath));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0],
            (mornaq::format::HistoryEntry{platform::Date{localDate("2026-12-07T10:00:03")}, "Ann",
                                          "Ann", "Away"}));
}

}  // namespace
}  // namespace road_test
