// The dry run agrees with the app: for generated settings files, rule files
// and messages, what `mornaq explain` says equals what the messaging app
// really sends for that message alone at "at":0, and the app's own why-trace
// of the message is the same record. Tracing changes nothing else.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "common/reply_history.h"
#include "common/settings_format.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/wall_clock.h"
#include "tests/hosts/road_fixture.h"
#include "tests/support/result_matchers.h"
#include "tests/support/test_files.h"
#include "tools/explain.h"

namespace road_test {
namespace {

using nlohmann::json;
using platform::Dictionary;
using platform::Value;

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

  template <class T>
  const T& pick(const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random_)];
  }

  // Absent (nil) or one of the given values.
  void maybeSet(Dictionary& into, const std::string& key, const std::vector<Value>& values) {
    if (chance(0.15)) return;
    into[key] = pick(values);
  }

  Dictionary mainSettings() {
    Dictionary settings;
    maybeSet(settings, "isTweakEnabled", {true, true, true, true, true, false, "YES", 0});
    for (const char* key :
         {"isReplyToMuteU", "isGlobalEnabled", "isGlobAutoEnabled", "isWordMatchGlob"}) {
      maybeSet(settings, key, kSwitches);
    }
    maybeSet(settings, "customReplyGlob", kReplies);
    maybeSet(settings, "customReplyGlobDelay", kDelays);
    if (chance(0.15)) {
      maybeSet(settings, "audienceGlob", {"everyone", "contacts", "nonContacts", "friends"});
    }
    for (const char* key : {"ann", "bob"}) {
      if (chance(0.3)) continue;
      if (chance(0.1)) {
        settings[key] = "not an entry";
        continue;
      }
      Dictionary entry;
      for (const char* name :
           {"isContactEnabled", "isContactBlackList", "isWordMatch", "isAutoReplyContact"}) {
        maybeSet(entry, name, kSwitches);
      }
      maybeSet(entry, "customReply", kReplies);
      maybeSet(entry, "customReplyDelay", kDelays);
      settings[key] = entry;
    }
    if (chance(0.3)) policies(settings);
    return settings;
  }

  // The reply policies, each present or not; user sends never happen in a
  // run of one message, so the two that watch the user always pass.
  void policies(Dictionary& settings) {
    maybeSet(settings, "isReplyOnce", kSwitches);
    maybeSet(settings, "replyOnceHours", {"", "1", "24", "abc", "-2", 2});
    maybeSet(settings, "isScheduleEnabled", kSwitches);
    maybeSet(settings, "scheduleFrom", {"22:00", "09:00", "7:00", "25:00", ""});
    maybeSet(settings, "scheduleTo", {"07:00", "17:00", "09:00", "x"});
    maybeSet(settings, "scheduleDays", {"", "12345", "67", "3", "1,7"});
    maybeSet(settings, "isAwayOnly", kSwitches);
    maybeSet(settings, "isCancelOnUserReply", kSwitches);
    maybeSet(settings, "loopGuardReplies", {"0", "1", "2", "", "many"});
  }

  // Replies to the three chats of the messages, seconds before at.
  Dictionary history(platform::Date at) {
    Dictionary file;
    if (chance(0.5)) return file;
    const int entries = std::uniform_int_distribution<int>(0, 3)(random_);
    for (int i = 0; i < entries; ++i) {
      const double ago = pick<double>({60, 1800, 3597, 3600, 7200, 90000});
      mornaq::format::addToHistory(file, {platform::Date{at.secondsSinceReferenceDate - ago},
                                          pick<std::string>({"ann", "bob", "Ann"}), "Ann", "Away"});
    }
    return file;
  }

  // A Monday morning, a Saturday night, and a Sunday just before seven.
  platform::Date moment() {
    return *platform::parseLocalDateTime(
        pick<std::string>({"2026-12-07T10:00:00", "2026-12-05T23:30:00", "2026-12-06T06:59:58"}));
  }

  Dictionary ruleFile() {
    Dictionary rules;
    for (const char* owner : {"ann", "bob", "GLOBALGLOBALGLOBAL"}) {
      if (chance(0.3)) continue;
      Dictionary ruleSet;
      for (const char* word : {"lunch", "hi", "sms", "call me", "(order"}) {
        if (chance(0.5)) continue;
        Dictionary rule;
        if (chance(0.3)) {
          maybeSet(rule, "customMatchKind",
                   {"either", "contains", "words", "start", "exact", "pattern", "fuzzy"});
        }
        maybeSet(rule, "customMatch", {word, "", 7});
        maybeSet(rule, "customMatchRe", kReplies);
        maybeSet(rule, "customMatchReDelay", kDelays);
        ruleSet[word] = rule;
      }
      rules[owner] = ruleSet;
    }
    return rules;
  }

  json message() {
    json message = json::object();
    if (!chance(0.1))
      message["text"] = pick<std::string>({"", "lunch?", "Hi there", "CALL ME", "nothing"});
    if (chance(0.1)) return message;
    json chat = json::object();
    if (!chance(0.2)) {
      chat["contactIdentifier"] =
          pick<std::string>({"ann:ABPerson", "bob:ABPerson", "carol:ABPerson"});
    }
    if (!chance(0.2)) chat["displayName"] = pick<std::string>({"Ann", "Bob :newline:", ""});
    if (chance(0.1)) chat["group"] = true;
    if (chance(0.1)) chat["sessionType"] = 3;
    if (chance(0.2)) chat["muted"] = true;
    message["chat"] = chat;
    return message;
  }

 private:
  const std::vector<Value> kSwitches{true, true, true, false, "YES", "no", 1};
  const std::vector<Value> kReplies{"",
                                    "Away",
                                    "Hi :name::newline:bye",
                                    42,
                                    "Hi :firstname:",
                                    "Back :until: :or: Away :or: On it, :firstname:",
                                    "Back at :until:."};
  const std::vector<Value> kDelays{"0",   "-5", "abc", "2.9", "99999999999999999999", "", "4",
                                   " 7x", 12,   1e16,  -3.5};
  std::mt19937 random_;
};

class ExplainAgreement : public RoadTest {
 protected:
  std::filesystem::path onDisk(std::string_view devicePath) {
    return *platform::DeviceRoot(root).map(devicePath);
  }

  // Missing, malformed or generated, as the Settings app may leave it.
  void writeMainSettings(Generator& generate) {
    if (generate.chance(0.05)) {
      std::filesystem::remove(onDisk(mornaq::format::kMainSettingsPath));
    } else if (generate.chance(0.05)) {
      testing_support::writeFile(onDisk(mornaq::format::kMainSettingsPath), "<plist><dict><key>");
    } else {
      writeFile(mornaq::format::kMainSettingsPath, generate.mainSettings());
    }
  }
};

std::vector<json> withoutWhy(const std::vector<json>& events) {
  std::vector<json> kept;
  for (const auto& event : events) {
    if (!event.contains("why")) kept.push_back(event);
  }
  return kept;
}

TEST_F(ExplainAgreement, TheDryRunSaysWhatTheAppSendsAndWhatItsTraceSays) {
  Generator generate(20261208);
  int replies = 0;
  for (int run = 0; run < 300; ++run) {
    writeMainSettings(generate);
    writeFile(mornaq::format::kRuleSettingsPath, generate.ruleFile());
    // The app and the dry run see the message arrive at the same moment.
    start = generate.moment();
    const Dictionary history = generate.history(*start);
    writeFile(mornaq::format::kReplyHistoryPath, history);
    tools::Explainer explainer(root, "2.20.110.30", start);
    const json message = generate.message();
    SCOPED_TRACE(message.dump());
    const auto received = hosts::whatsapp::readReceived(message);
    ASSERT_THAT(received, testing_support::Succeeds());

    const json answer = explainer.explain(*received);
    const std::string scenario = json{{"at", 0}, {"receive", message}}.dump();
    const auto traced = RoadTest::run(scenario, "2.20.110.30", true);

    const auto sent = traced.of("sent");
    ASSERT_EQ(sent.size(), answer["reply"] == true ? 1u : 0u) << answer.dump();
    if (!sent.empty()) {
      ++replies;
      // A reply with alternatives sends one of them.
      if (answer.contains("alternatives")) {
        EXPECT_THAT(answer["alternatives"], testing::Contains(sent[0].second["text"]));
        EXPECT_EQ(answer["text"], nullptr);
      } else {
        EXPECT_EQ(sent[0].second["text"], answer["text"]);
      }
      EXPECT_EQ(sent[0].first, answer["sendsAt"].get<double>());
    }
    const auto why = traced.of("why");
    ASSERT_EQ(why.size(), 1u);
    json expected = answer;
    expected["message"] = message.value("text", json());
    expected["id"] = 1;
    EXPECT_EQ(why[0].second, expected);
    if (run % 20 == 0) {
      // The traced run recorded its reply: the second run starts from the
      // history the first one had.
      writeFile(mornaq::format::kReplyHistoryPath, history);
      EXPECT_EQ(withoutWhy(traced.events), RoadTest::run(scenario).events);
    }
  }
  // The generator reaches both outcomes often enough to mean something.
  EXPECT_GT(replies, 30);
  EXPECT_LT(replies, 270);
}

}  // namespace
}  // namespace road_test
