// A received message's timeline in one simulated messaging app: what the
// engine logs, when it launches the messages app and which reply request it
// posts when, all in virtual time. The app runs without the hook library:
// the tests hand its messages to the engine as the receipt hook would.
#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "Mornaq/engine/reply_engine.h"
#include "Mornaq/engine/reply_request.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/foundation/notification_center.h"
#include "platform/uikit/uikit.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"
#include "tests/support/value_printer.h"

namespace {

using hosts::whatsapp::Chat;
using hosts::whatsapp::makeChatSession;
using hosts::whatsapp::makeMessage;
using platform::Dictionary;
using platform::Id;
using std::chrono::milliseconds;
using std::chrono::seconds;
using testing::Contains;
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
// recording what the engine hands on: reply requests and application launches.
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
};

// The user info of a reply request; without a chat when chat is nil.
Dictionary replyRequest(const std::string& msg, const std::string& delay, const Id& chat) {
  Dictionary userInfo{{"msg", msg}, {"delay", delay}};
  if (chat) userInfo.emplace("ChatSession", chat);
  return userInfo;
}

const std::string kBusy(mornaq::format::kBusyText);
const std::string kSwitchOn = "[Mornaq] getPlistValue value:-1";
const std::string kMuted = "Mornaq this is a MutedUser chat and reply to MutedUser NOO ignore it..";
const std::string kStory = "Mornaq this is a story lets ignore it";
const std::string kNothingToDo = "[Mornaq] [noting to do]";
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

std::string decisionLine(int global, std::string_view key, int blacklist, std::string_view text,
                         int enabled, int globAuto) {
  return fmt::format(
      "Mornaq isGlobalEnabled:-{}, trimmedPhoneNumber :-{} isContactBlackList:-{}, message:-{}, "
      "isContactEnabled:-{}, isGlobAutoEnabled:-{}",
      global, key, blacklist, text, enabled, globAuto);
}

std::string globalLine(std::string_view reply, std::string_view lastMatch, int globAuto,
                       int wordMatch) {
  return fmt::format(
      "[Mornaq] [GLOBAL] customReplyGlob:-{}..customMatchGlob:-{}..isGlobAutoEnabled:-{}."
      "isWordMatchGlob:-{}",
      reply, lastMatch, globAuto, wordMatch);
}

class ReplyTimeline : public testing::Test {
 protected:
  void settings(const Dictionary& main) { writePlist(mornaq::format::kMainSettingsPath, main); }
  void rules(const Dictionary& file) { writePlist(mornaq::format::kRuleSettingsPath, file); }
  void receive(const Id& message) { mornaq::didTrackReceivedMessage(message); }
  void receiveAndRun(const Id& message) {
    app.clearLog();
    receive(message);
    app.queue().runUntilIdle();
  }
  const std::vector<std::string>& log() { return app.log(); }

  EngineApp app;
  Id c1 = makeChatSession({.contactIdentifier = "c1:ABPerson"});
};

TEST_F(ReplyTimeline, WithTheSwitchOffOnlyTheSwitchIsRead) {
  auto switchedOff = kGlobalSettings;
  switchedOff.emplace("isTweakEnabled", false);
  for (const auto& main :
       {std::optional<Dictionary>(), std::optional(kGlobalSettings), std::optional(switchedOff)}) {
    if (main) settings(*main);
    app.clearLog();
    receive(makeMessage(c1, "hello"));
    EXPECT_TRUE(app.queue().idle());
    EXPECT_THAT(log(), ElementsAre("[Mornaq] getPlistValue value:-0"));
  }
}

TEST_F(ReplyTimeline, DecidesOneSecondAfterReceiptAndPostsTwoSecondsLater) {
  settings(on(kGlobalSettings));
  std::weak_ptr<platform::Object> message = [&] {
    Id held = makeMessage(c1, "hello");
    receive(held);
    return held;
  }();
  app.queue().runUntil(milliseconds(999));
  EXPECT_THAT(log(), ElementsAre(kSwitchOn));
  app.queue().runUntil(seconds(1));
  EXPECT_THAT(log(), ElementsAre(kSwitchOn, decisionLine(1, "c1", 0, "hello", 0, 1)));
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
  EXPECT_THAT(log(), ElementsAre(kSwitchOn, decisionLine(1, "c1", 0, "hello", 0, 1),
                                 globalLine("Away :name:", "", 1, 0),
                                 "[Mornaq] [GLOBAL] Word didn't Match or isn't enabled will send "
                                 "a reply to phoneNumber"));
  EXPECT_TRUE(app.queue().idle());
}

TEST_F(ReplyTimeline, AContactRuleMatchLogsTheRuleAsStoredAndIsRemembered) {
  settings(on({{"isGlobalEnabled", true},
               {"c1", Dictionary{{"isContactEnabled", true},
                                 {"isWordMatch", true},
                                 {"isAutoReplyContact", true},
                                 {"customReply", "own reply"}}}}));
  rules({{"c1", Dictionary{
                    {"hello", Dictionary{{"customMatch", "hello"}, {"customMatchRe", "Hi :name:"}}},
                    {"hello there", Dictionary{{"customMatchRe", "never sent"}}}}}});

  receiveAndRun(makeMessage(c1, "hello there"));
  EXPECT_THAT(log(), ElementsAre(kSwitchOn, decisionLine(1, "c1", 0, "hello there", 1, 0),
                                 "[Mornaq] customMatch:-hello, customMatchRe:-Hi :name:, "
                                 "customMatchReDelay:-(null)"));
  receiveAndRun(makeMessage(c1, "bye"));
  EXPECT_THAT(log(),
              ElementsAre(kSwitchOn, decisionLine(1, "c1", 0, "bye", 1, 0),
                          "[Mornaq] contactSettings isAutoReplyContact :- 1, lastMessage:-bye, "
                          "isContactEnabled:-1, customReply:-own reply, customMatch:-hello, "
                          "isWordMatch:-1, customMatchRe:-Hi :name:"));
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
  receiveAndRun(makeMessage(c1, ""));
  EXPECT_THAT(log(), ElementsAre(kSwitchOn, decisionLine(1, "c1", 0, "", 1, 1),
                                 "[Mornaq] contactSettings isAutoReplyContact :- 0, "
                                 "lastMessage:-NOSMS, isContactEnabled:-1, customReply:-" +
                                     kBusy + ", customMatch:-, isWordMatch:-0, customMatchRe:-"));
  EXPECT_THAT(app.requests, IsEmpty());
  EXPECT_THAT(app.launches, IsEmpty());
}

TEST_F(ReplyTimeline, AGlobalRuleMatchLogsAfterFallbacksAndIsRemembered) {
  settings(on({{"isGlobalEnabled", true}, {"isWordMatchGlob", true}}));
  rules({{"GLOBALGLOBALGLOBAL", Dictionary{{"hello", Dictionary{{"customMatchRe", ""}}}}}});

  receiveAndRun(makeMessage(c1, "Hello!"));
  EXPECT_THAT(log(), ElementsAre(kSwitchOn, decisionLine(1, "c1", 0, "Hello!", 0, 0),
                                 globalLine(kBusy, "", 0, 1),
                                 "[Mornaq] customMatchGlob:-NOMATCH, customMatchReGlob:-" + kBusy +
                                     ", customMatchReGlobDelay:-3"));
  // Without a match and without the automatic reply, nothing is posted.
  receiveAndRun(makeMessage(c1, "bye"));
  EXPECT_THAT(log(), ElementsAre(kSwitchOn, decisionLine(1, "c1", 0, "bye", 0, 0),
                                 globalLine(kBusy, "NOMATCH", 0, 1)));
  ASSERT_EQ(app.requests.size(), 1u);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest(kBusy, "3", c1));
}

TEST_F(ReplyTimeline, AMessageWithoutAChatIsAnsweredWithoutOne) {
  settings(on(kGlobalSettings));
  receiveAndRun(makeMessage(nullptr, "hello"));
  EXPECT_EQ(log().at(1), decisionLine(1, "(null)", 0, "hello", 0, 1));
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
  EXPECT_EQ(log().at(1), decisionLine(1, "c1", 0, "hello", 0, 0));
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
  receive(makeMessage(makeChatSession({.contactIdentifier = "c3:ABPerson"}), "hello"));
  app.queue().runUntilIdle();
  ASSERT_EQ(app.requests.size(), 2u);
  EXPECT_EQ(app.requests[0].userInfo, replyRequest("for c1", "1", c1));
  EXPECT_EQ(app.requests[1].userInfo, replyRequest(kBusy, "3", c2));
  EXPECT_THAT(log(), Contains(decisionLine(0, "c3", 0, "hello", 0, 0)));
}

TEST(ReplyScreening, TheFirstFailingTestRefusesTheMessage) {
  struct Row {
    const char* name;
    Chat chat;
    std::optional<std::string> text;
    bool muted, centreCaptured, isReplyToMuteU;
    std::string line;  // the line after the switch's
  };
  const std::string passed = decisionLine(1, "c1", 0, "hello", 0, 1);
  const Chat chat{.contactIdentifier = "c1"};
  const Chat story{.contactIdentifier = "c1", .sessionType = 3};
  const Chat group{.contactIdentifier = "c1", .group = true};
  const std::vector<Row> rows = {
      {"plain", chat, "hello", false, true, false, passed},
      {"muted", chat, "hello", true, true, false, kMuted},
      {"muted, answered when allowed", chat, "hello", true, true, true, passed},
      {"muted before the centre exists", chat, "hello", true, false, false, passed},
      {"story", story, "hello", false, true, false, kStory},
      {"muted story", story, "hello", true, true, false, kMuted},
      {"muted story, allowed", story, "hello", true, true, true, kStory},
      {"group", group, "hello", false, true, false, kNothingToDo},
      {"no text", chat, std::nullopt, false, true, false, kNothingToDo},
      {"empty text", chat, "", false, true, false, decisionLine(1, "c1", 0, "", 0, 1)},
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
    ASSERT_GE(app.log().size(), 2u);
    EXPECT_EQ(app.log()[1], row.line);
    const bool answered = row.line.starts_with("Mornaq isGlobalEnabled");
    EXPECT_EQ(app.requests.size(), answered ? 1u : 0u);
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
  EXPECT_THAT(second.log(), Contains(globalLine(kBusy, "", 0, 1)));
  EXPECT_EQ(second.requests.size(), 1u);
}

}  // namespace
