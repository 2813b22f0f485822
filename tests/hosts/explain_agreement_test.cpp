// The dry run agrees with the app: for generated settings files, rule files
// and messages, what `mornaq explain` says equals what the messaging app
// really sends for that message alone at "at":0, and the app's own why-trace
// of the message is the same record. Tracing changes nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "common/settings_format.h"
#include "platform/foundation/device_root.h"
#include "tests/hosts/road_fixture.h"
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
    return settings;
  }

  Dictionary ruleFile() {
    Dictionary rules;
    for (const char* owner : {"ann", "bob", "GLOBALGLOBALGLOBAL"}) {
      if (chance(0.3)) continue;
      Dictionary ruleSet;
      for (const char* word : {"lunch", "hi", "sms", "call me"}) {
        if (chance(0.5)) continue;
        Dictionary rule;
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
  const std::vector<Value> kReplies{"", "Away", "Hi :name::newline:bye", 42};
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
      std::ofstream(onDisk(mornaq::format::kMainSettingsPath)) << "<plist><dict><key>";
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
  tools::Explainer explainer(root, "2.20.110.30");
  int replies = 0;
  for (int run = 0; run < 300; ++run) {
    writeMainSettings(generate);
    writeFile(mornaq::format::kRuleSettingsPath, generate.ruleFile());
    const json message = generate.message();
    SCOPED_TRACE(message.dump());
    hosts::whatsapp::Received received;
    ASSERT_EQ(hosts::whatsapp::readReceived(message, received), "");

    const json answer = explainer.explain(received);
    const std::string scenario = json{{"at", 0}, {"receive", message}}.dump();
    const auto traced = RoadTest::run(scenario, "2.20.110.30", true);

    const auto sent = traced.of("sent");
    ASSERT_EQ(sent.size(), answer["reply"] == true ? 1u : 0u) << answer.dump();
    if (!sent.empty()) {
      ++replies;
      EXPECT_EQ(sent[0].second["text"], answer["text"]);
      EXPECT_EQ(sent[0].first, answer["sendsAt"].get<double>());
    }
    const auto why = traced.of("why");
    ASSERT_EQ(why.size(), 1u);
    json expected = answer;
    expected["message"] = message.value("text", json());
    EXPECT_EQ(why[0].second, expected);
    if (run % 20 == 0) {
      EXPECT_EQ(withoutWhy(traced.events), RoadTest::run(scenario).events);
    }
  }
  // The generator reaches both outcomes often enough to mean something.
  EXPECT_GT(replies, 30);
  EXPECT_LT(replies, 270);
}

}  // namespace
}  // namespace road_test
