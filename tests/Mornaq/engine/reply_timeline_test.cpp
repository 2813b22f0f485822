// A received message's timeline in one simulated messaging app: when the
// engine reads the switch, launches the messages app and posts which reply
// request, and how its why record says the road went, all in virtual time.
// The app runs without the hook library: the tests hand its messages to the
// engine as the receipt hook would. The engine's log lines are pinned by the
// messaging app's transcript (tests/tools/transcripts/whatsapp.transcript).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "Mornaq/engine/reply_engine.h"
#include "Mornaq/engine/reply_request.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/foundation/notification_center.h"
#include "platform/uikit/uikit.h"
#include "tests/support/add_on_reports.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"
#include "tests/support/value_printer.h"

namespace {

using hosts::whatsapp::Chat;
using hosts::whatsapp::makeChatSession;
using hosts::whatsapp::makeMessage;
using platform::Dictionary;
using platform::Id;
using platform::Value;
using std::chrono::milliseconds;
using std::chrono::seconds;
using testing::ElementsAre;
using testing::IsEmpty;
using testing_support::writePlist;

// A reply request as the engine posted it.
struct PostedRequest {
  std::chrono::nanoseconds at{};
  Id sender;
  Dictionary userInfo;
};

// An application launch request: the identifier and whether suspended.
using Launch = std::pair<std::string, bool>;

// The simulated messaging app in a fresh process, its hook library left out,
// recording what the engine hands on: reply requests, application launches
// and the engine's reports.
class EngineApp : public testing_support::TestProcess {
 public:
  EngineApp() : TestProcess(hosts::whatsapp::kBundleIdentifier) {
    platform::NotificationCenter::defaultCenter().addObserverForName(
        std::string(mornaq::kReplyRequestNotification), nullptr, nullptr,
        [this](const platform::Notification& posted) {
          // The request as the sender reads it; the road it carries on inside
          // the library is the sender's business.
          Dictionary userInfo = posted.userInfo;
          userInfo.erase(std::string(mornaq::kReplyRequestRoadKey));
          requests.push_back({queue().now(), posted.object, std::move(userInfo)});
        });
    platform::uikit::ScreenObserver observer;
    observer.launched = [this](const std::string& identifier, bool suspended) {
      launches.emplace_back(identifier, suspended);
    };
    platform::uikit::Screen::current().setObserver(std::move(observer));
  }

  hosts::whatsapp::WhatsAppApp whatsapp{process(), hosts::whatsapp::kDefaultVersion,
                                        [](const Chat&, const std::string&) {}, [] {}};
  std::vector<PostedRequest> requests;
  std::vector<Launch> launches;
  testing_support::AddOnReports reports;
};

// The user info of a reply request; without a chat when chat is nil.
Dictionary replyRequest(const std::string& msg, const std::string& delay, const Id& chat) {
  Dictionary userInfo{{"msg", msg}, {"delay", delay}};
  if (chat) userInfo.emplace("ChatSession", chat);
  return userInfo;
}

const std::string kBusy(mornaq::format::kBusyText);
const Launch kMessagesAppLaunch{"com.apple.MobileSMS", true};

// Everybody gets the global reply once the switch is on.
const Dictionary kGlobalSettings{{"isGlobalEnabled", true},
                                 {"isGlobAutoEnabled", true},
                                 {"customReplyGlob", "Away :name:"},
                                 {"customReplyGlobDelay", "5"}};

Dictionary on(Dictionary settings) {
  settings.emplace("isTweakEnabled", true);
  return settings;
}

// How a message's road ended, as its why record tells: the test that stopped
// it (nil when it got its reply), the path that decided and the rule that
// chose the reply.
Dictionary roadEnd(const Dictionary& why) {
  Dictionary end;
  for (const char* fact : {"stoppedBy", "path", "rule"}) end[fact] = platform::lookUp(why, fact);
  return end;
}

Dictionary ended(Value stoppedBy, Value path, Value rule = {}) {
  return {
      {"stoppedBy", std::move(stoppedBy)}, {"path", std::move(path)}, {"rule", std::move(rule)}};
}

Value rule(std::string owner, std::string word) {
  return Dictionary{{"owner", std::move(owner)}, {"word", std::move(word)}};
}

std::vector<std::string> steps(const Dictionary& why) {
  std::vector<std::string> names;
  for (const auto& step : *platform::lookUp(why, "steps").array()) {
    names.push_back(platform::lookUp(*step.dictionary(), "step").stringValue().value_or(""));
  }
  return names;
}

class ReplyTimeline : public testing::Test {
 protected:
  void settings(const Dictionary& main) { writePlist(mornaq::format::kMainSettingsPath, main); }
  void rules(const Dictionary& file) { writePlist(mornaq::format::kRuleSettingsPath, file); }
  void receive(const Id& message) { mornaq::didTrackReceivedMessage(message); }
  // The message's road, run to its end; its why record.
  Dictionary receiveAndRun(const Id& message) {
    receive(message);
    app.queue().runUntilIdle();
    const auto why = app.reports.whyOf(message);
    EXPECT_TRUE(why) << "no why record";
    return why.value_or(Dictionary{});
  }

  EngineApp app;
  Id c1 = makeChatSession({.contactIdentifier = "c1:ABPerson"});
};

TEST_F(ReplyTimeline, WithTheSwitchOffOnlyTheSwitchIsRead) {
  auto switchedOff = kGlobalSettings;
  switchedOff.emplace("isTweakEnabled", false);
  for (const auto& main :
       {std::optional<Dictionary>(), std::optional(kGlobalSettings), std::optional(switchedOff)}) {
    if (main) settings(*main);
    app.reports.clear();
    const Id message = makeMessage(c1, "hello");
    receive(message);
    EXPECT_TRUE(app.queue().idle());
    EXPECT_THAT(app.reports.switches, ElementsAre(false));
    ASSERT_TRUE(app.reports.whyOf(message));
    EXPECT_THAT(steps(*app.reports.whyOf(message)), ElementsAre("switch"));
  }
  EXPECT_THAT(app.requests, IsEmpty());
  EXPECT_THAT(app.launches, IsEmpty());
}

TEST_F(ReplyTimeline, DecidesOneSecondAfterReceiptAndPostsTwoSecondsLater) {
  settings(on(kGlobalSettings));
  std::weak_ptr<platform::Object> message = [&] {
    Id held = makeMessage(c1, "hello");
    receive(held);
    return held;
  }();
  app.queue().runUntil(milliseconds(999));
  EXPECT_THAT(app.reports.switches, ElementsAre(true));
  EXPECT_THAT(app.launches, IsEmpty());  // the global path's decision launches it
  app.queue().runUntil(seconds(1));
  EXPECT_THAT(app.launches, ElementsAre(kMessagesAppLaunch));

  app.queue().runUntil(milliseconds(2999));
  EXPECT_THAT(app.requests, IsEmpty());
  EXPECT_FALSE(message.expired()) << "the message is held until its evaluation";
  app.queue().runUntil(seconds(3));
  EXPECT_TRUE(message.expired());
  ASSERT_EQ(app.requests.size(), 1u);
  EXPECT_EQ(app.requests[0].at, seconds(3));
  EXPECT_FALSE(app.requests[0].sender);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest("Away :name:", "5", c1));
  ASSERT_EQ(app.reports.whys.size(), 1u);
  EXPECT_EQ(app.reports.whys[0].at, seconds(3));
  EXPECT_EQ(roadEnd(app.reports.whys[0].facts), ended({}, "global"));
  EXPECT_THAT(app.reports.switches, ElementsAre(true));
  EXPECT_TRUE(app.queue().idle());
}

TEST_F(ReplyTimeline, AContactsRuleAnswersFirstAndItsOwnReplyOtherwise) {
  settings(on({{"isGlobalEnabled", true},
               {"c1", Dictionary{{"isContactEnabled", true},
                                 {"isWordMatch", true},
                                 {"isAutoReplyContact", true},
                                 {"customReply", "own reply"}}}}));
  rules({{"c1", Dictionary{
                    {"hello", Dictionary{{"customMatch", "hello"}, {"customMatchRe", "Hi :name:"}}},
                    {"hello there", Dictionary{{"customMatchRe", "never sent"}}}}}});

  EXPECT_EQ(roadEnd(receiveAndRun(makeMessage(c1, "hello there"))),
            ended({}, "contact", rule("c1", "hello")));
  EXPECT_EQ(roadEnd(receiveAndRun(makeMessage(c1, "bye"))), ended({}, "contact"));
  ASSERT_EQ(app.requests.size(), 2u);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest("Hi :name:", "3", c1));
  EXPECT_EQ(app.requests[1].userInfo, replyRequest("own reply", "3", c1));
  EXPECT_THAT(app.launches, IsEmpty());
}

TEST_F(ReplyTimeline, AnEntryWithOnlyTheContactSwitchSendsNothing) {
  settings(on({{"isGlobalEnabled", true},
               {"isGlobAutoEnabled", true},
               {"c1", Dictionary{{"isContactEnabled", true}}}}));
  rules({{"c1", Dictionary{{"sms", Dictionary{}}}}});
  EXPECT_EQ(roadEnd(receiveAndRun(makeMessage(c1, ""))), ended("noReply", "contact"));
  EXPECT_THAT(app.requests, IsEmpty());
  EXPECT_THAT(app.launches, IsEmpty());
}

TEST_F(ReplyTimeline, AGlobalRuleWithoutWordOrReplyAnswersWithTheDefaults) {
  settings(on({{"isGlobalEnabled", true}, {"isWordMatchGlob", true}}));
  rules({{"GLOBALGLOBALGLOBAL", Dictionary{{"hello", Dictionary{{"customMatchRe", ""}}}}}});

  EXPECT_EQ(roadEnd(receiveAndRun(makeMessage(c1, "Hello!"))),
            ended({}, "global", rule("GLOBALGLOBALGLOBAL", "hello")));
  // Without a match and without the automatic reply, nothing is posted.
  EXPECT_EQ(roadEnd(receiveAndRun(makeMessage(c1, "bye"))), ended("noReply", "global"));
  ASSERT_EQ(app.requests.size(), 1u);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest(kBusy, "3", c1));
}

TEST_F(ReplyTimeline, AMessageWithoutAChatIsAnsweredWithoutOne) {
  settings(on(kGlobalSettings));
  EXPECT_EQ(roadEnd(receiveAndRun(makeMessage(nullptr, "hello"))), ended("noChat", "global"));
  ASSERT_EQ(app.requests.size(), 1u);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest("Away :name:", "5", nullptr));
}

TEST_F(ReplyTimeline, SettingsAreTakenAtScreeningAndRulesAtEvaluation) {
  settings(on({{"isGlobalEnabled", true}, {"isWordMatchGlob", true}}));
  receive(makeMessage(c1, "hello"));
  app.queue().runUntil(seconds(0));
  settings({});  // switched off after screening: this message goes on
  app.queue().runUntil(seconds(2));
  rules({{"GLOBALGLOBALGLOBAL", Dictionary{{"hello", Dictionary{{"customMatchRe", "late"}}}}}});
  app.queue().runUntilIdle();
  ASSERT_EQ(app.reports.whys.size(), 1u);
  EXPECT_EQ(roadEnd(app.reports.whys[0].facts),
            ended({}, "global", rule("GLOBALGLOBALGLOBAL", "hello")));
  ASSERT_EQ(app.requests.size(), 1u);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest("late", "3", c1));
}

TEST_F(ReplyTimeline, MessagesFromTwoContactsInOneSecondUseTheirOwnEntries) {
  Id c2 = makeChatSession({.contactIdentifier = "c2:ABPerson"});
  settings(on({{"c1", Dictionary{{"isContactEnabled", true},
                                 {"isAutoReplyContact", true},
                                 {"customReply", "for c1"},
                                 {"customReplyDelay", "1"}}},
               {"c2", Dictionary{{"isContactEnabled", true}, {"isAutoReplyContact", true}}}}));
  receive(makeMessage(c1, "hello"));
  receive(makeMessage(c2, "hello"));
  const Id fromC3 = makeMessage(makeChatSession({.contactIdentifier = "c3:ABPerson"}), "hello");
  receive(fromC3);
  app.queue().runUntilIdle();
  ASSERT_EQ(app.requests.size(), 2u);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest("for c1", "1", c1));
  EXPECT_EQ(app.requests[1].userInfo, replyRequest(kBusy, "3", c2));
  ASSERT_TRUE(app.reports.whyOf(fromC3));
  EXPECT_EQ(roadEnd(*app.reports.whyOf(fromC3)), ended("noPath", {}));
}

TEST(ReplyScreening, TheFirstFailingTestRefusesTheMessage) {
  struct Row {
    const char* name;
    Chat chat;
    std::optional<std::string> text;
    bool muted, centreCaptured, isReplyToMuteU;
    Value stoppedBy;  // nil: it passed, and is answered
  };
  const Value passed;
  const Chat chat{.contactIdentifier = "c1"};
  const Chat story{.contactIdentifier = "c1", .sessionType = 3};
  const Chat group{.contactIdentifier = "c1", .group = true};
  const std::vector<Row> rows = {
      {"plain", chat, "hello", false, true, false, passed},
      {"muted", chat, "hello", true, true, false, "muted"},
      {"muted, answered when allowed", chat, "hello", true, true, true, passed},
      {"muted before the centre exists", chat, "hello", true, false, false, passed},
      {"story", story, "hello", false, true, false, "story"},
      {"muted story", story, "hello", true, true, false, "muted"},
      {"muted story, allowed", story, "hello", true, true, true, "story"},
      {"group", group, "hello", false, true, false, "group"},
      {"no text", chat, std::nullopt, false, true, false, "noText"},
      {"empty text", chat, "", false, true, false, passed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EngineApp app;
    auto main = on(kGlobalSettings);
    main.emplace("isReplyToMuteU", row.isReplyToMuteU);
    writePlist(mornaq::format::kMainSettingsPath, main);
    auto chat = row.chat;
    chat.muted = row.muted;  // in the app's centre, which the engine asks once it captured it
    if (row.centreCaptured) mornaq::captureNotificationCenter(app.whatsapp.notificationCenter());
    mornaq::didTrackReceivedMessage(app.whatsapp.message(row.text, chat));
    app.queue().runUntilIdle();
    ASSERT_EQ(app.reports.whys.size(), 1u);
    EXPECT_EQ(platform::lookUp(app.reports.whys[0].facts, "stoppedBy"), row.stoppedBy);
    EXPECT_EQ(app.requests.size(), row.stoppedBy.isNil() ? 1u : 0u);
  }
}

TEST(ReplyEngineState, EachProcessKeepsItsOwnCentreAndRememberedMatches) {
  EngineApp first;
  EngineApp second;
  const Dictionary main = on({{"isGlobalEnabled", true}, {"isWordMatchGlob", true}});
  const Dictionary ruleFile{{"GLOBALGLOBALGLOBAL", Dictionary{{"hi", Dictionary{}}}}};
  for (auto* app : {&first, &second}) {
    platform::ProcessScope scope(app->process());
    writePlist(mornaq::format::kMainSettingsPath, main);
    writePlist(mornaq::format::kRuleSettingsPath, ruleFile);
  }
  {
    // The first process remembers a global match and captures a centre
    // that mutes the chat.
    platform::ProcessScope inFirst(first.process());
    mornaq::didTrackReceivedMessage(first.whatsapp.message("hi", Chat{.muted = true}));
    first.queue().runUntilIdle();
    mornaq::captureNotificationCenter(first.whatsapp.notificationCenter());
  }
  // The same chat, muted only in the first app.
  mornaq::didTrackReceivedMessage(second.whatsapp.message("hi", Chat{}));
  second.queue().runUntilIdle();
  EXPECT_EQ(second.requests.size(), 1u);
  // The second app's transcript, whole: the last global match that its global
  // line shows is its own, none yet, although the first app remembers one.
  EXPECT_THAT(second.log(),
              ElementsAre("[Mornaq] getPlistValue value:-1",
                          "Mornaq isGlobalEnabled:-1, trimmedPhoneNumber :-(null) "
                          "isContactBlackList:-0, message:-hi, isContactEnabled:-0, "
                          "isGlobAutoEnabled:-0",
                          "[Mornaq] [GLOBAL] customReplyGlob:-" + kBusy +
                              "..customMatchGlob:-..isGlobAutoEnabled:-0.isWordMatchGlob:-1",
                          "[Mornaq] customMatchGlob:-NOMATCH, customMatchReGlob:-" + kBusy +
                              ", customMatchReGlobDelay:-3"));
}

}  // namespace
