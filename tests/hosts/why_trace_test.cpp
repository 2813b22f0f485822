// The why-trace as the messaging app prints it: one "why" event per received
// message, when its road through the add-on ends, naming the first test that
// stopped it in a sentence a user reads; and a reply's whole record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/settings_format.h"
#include "tests/hosts/road_fixture.h"

namespace road_test {
namespace {

using nlohmann::json;
using platform::Dictionary;

const std::string kAnn = R"("chat":{"contactIdentifier":"ann:ABPerson","displayName":"Ann"})";

std::string receive(const std::string& members) {
  return R"({"at":0,"receive":{)" + members + "}}";
}

TEST_F(RoadTest, EveryReasonForNoReplyIsTracedWithItsSentence) {
  const Dictionary on{{"isTweakEnabled", true}};
  auto globalOnly = on;
  globalOnly["isGlobalEnabled"] = true;
  auto answerAll = globalOnly;
  answerAll["isGlobAutoEnabled"] = true;
  auto offAtStart = answerAll;
  offAtStart["isTweakEnabled"] = false;
  auto bobBlacklisted = answerAll;
  bobBlacklisted["bob"] = Dictionary{{"isContactBlackList", true}};
  struct Row {
    const char* stoppedBy;
    Dictionary settings;
    std::string scenario;
    std::string verdict;
  };
  const std::vector<Row> rows = {
      {"switch",
       {{"isTweakEnabled", false}},
       receive(R"("text":"Hi",)" + kAnn),
       "No reply: Mornaq was switched off when the message arrived, so no reply is sent."},
      {"switch", offAtStart,
       R"({"at":0,"settings":{"isTweakEnabled":true}})"
       "\n" +
           receive(R"("text":"Hi",)" + kAnn),
       "No reply: Mornaq was switched off when the app started, so no reply is sent."},
      {"muted", answerAll, receive(R"("text":"Hi","chat":{"displayName":"Dave","muted":true})"),
       "No reply: The chat is muted and replies to muted chats are off."},
      {"story", answerAll, receive(R"("text":"Hi","chat":{"displayName":"Ann","sessionType":3})"),
       "No reply: It is a status story; stories are never answered."},
      {"noText", answerAll, receive(kAnn),
       "No reply: It has no text (a photo, say); only texts are answered."},
      {"group", answerAll, receive(R"("text":"Hi","chat":{"displayName":"Club","group":true})"),
       "No reply: It is a group chat; groups are never answered."},
      {"blacklist", bobBlacklisted,
       receive(R"("text":"Hi","chat":{"contactIdentifier":"bob:ABPerson","displayName":"Bob"})"),
       "No reply: Bob is on the blacklist."},
      {"noPath", on, receive(R"("text":"Hi",)" + kAnn),
       "No reply: Ann's own reply is not on, and the global reply is off."},
      {"noReply", globalOnly, receive(R"("text":"Hi",)" + kAnn),
       "No reply: Word matching is off, and the global reply is switched off, so nothing is "
       "sent."},
      {"noChat", answerAll, receive(R"("text":"Hi")"),
       "No reply: It has no chat to send the reply into."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.verdict);
    writeFile(mornaq::format::kMainSettingsPath, row.settings);
    const auto result = run(row.scenario, "2.20.110.30", true);
    ASSERT_EQ(result.status, 0) << result.errors;
    const auto why = result.of("why");
    ASSERT_EQ(why.size(), 1u);
    EXPECT_EQ(why[0].second["reply"], false);
    EXPECT_EQ(why[0].second["stoppedBy"], row.stoppedBy);
    EXPECT_EQ(why[0].second["verdict"], row.verdict);
    EXPECT_EQ(why[0].second["steps"].back()["step"], row.stoppedBy);
    EXPECT_THAT(result.of("sent"), testing::IsEmpty());
  }
}

TEST_F(RoadTest, AReplyIsTracedWhenItsRequestIsPostedWithEveryStep) {
  writeFile(mornaq::format::kMainSettingsPath,
            {{"isTweakEnabled", true},
             {"ann", Dictionary{{"isContactEnabled", true}, {"isWordMatch", true}}}});
  writeFile(mornaq::format::kRuleSettingsPath,
            {{"ann", Dictionary{{"lunch", Dictionary{{"customMatchRe", "Yes, :name:!"},
                                                     {"customMatchReDelay", "2"}}}}}});
  const auto result = run(receive(R"("text":"Lunch?",)" + kAnn), "2.20.110.30", true);

  const auto why = result.of("why");
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].first, 3);
  json record = why[0].second;
  std::vector<std::string> steps;
  for (const auto& step : record["steps"]) steps.push_back(step["step"]);
  record.erase("steps");
  EXPECT_EQ(record, json({{"message", "Lunch?"},
                          {"id", 1},
                          {"reply", true},
                          {"stoppedBy", nullptr},
                          {"path", "contact"},
                          {"rule", {{"owner", "ann"}, {"word", "lunch"}}},
                          {"text", "Yes, Ann!"},
                          {"delay", 2},
                          {"sendsAt", 5.0},
                          {"verdict",
                           "Replies after 5 s (3 s of screening, then a delay of 2 s) "
                           "with: Yes, Ann!"}}));
  EXPECT_EQ(steps, (std::vector<std::string>{"switch", "muted", "story", "noText", "group",
                                             "blacklist", "noPath", "noReply", "noChat"}));
  EXPECT_EQ(result.of("sent").size(), 1u);
}

}  // namespace
}  // namespace road_test
