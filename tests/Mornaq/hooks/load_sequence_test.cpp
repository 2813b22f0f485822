// The hook library's load sequence in a fresh messaging-app process: seeding,
// the version list, the chat-manager hooks of both host versions and the
// termination hook.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Mornaq/hooks/load_sequence.h"
#include "Mornaq/hooks/supported_versions.h"
#include "Mornaq/host/host_interface.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/app_classes.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/notification_center.h"
#include "tests/Mornaq/hooks/hooks_fixture.h"

namespace hooks_test {
namespace {

namespace host = mornaq::host;
using testing::ElementsAre;
using testing::IsEmpty;

// Everybody gets "Away", 4 s after the 3 s of screening and decision.
const Dictionary kAnswerEverybody{{"isTweakEnabled", true},
                                  {"isGlobalEnabled", true},
                                  {"isGlobAutoEnabled", true},
                                  {"customReplyGlob", "Away"},
                                  {"customReplyGlobDelay", "4"}};

std::size_t replyObservers() {
  return platform::NotificationCenter::defaultCenter().observerCount("MornaqSendWMMessage");
}

// The global reply's request was posted 3 s after receipt, and no sender was
// there to take it.
void expectPostedButNotTaken(const testing_support::AddOnReports& reports) {
  ASSERT_EQ(reports.whys.size(), 1u);
  EXPECT_EQ(reports.whys[0].at, seconds(3));
  EXPECT_EQ(platform::lookUp(reports.whys[0].facts, "path"), platform::Value("global"));
  EXPECT_EQ(platform::lookUp(reports.whys[0].facts, "stoppedBy"), platform::Value("switch"));
  EXPECT_THAT(reports.outcomes, IsEmpty());
}

using LoadSequence = HooksTest;

TEST_F(LoadSequence, SeedsAMissingMainSettingsFromTheSeedFileOnce) {
  const std::string seed =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
      "<key>seeded</key><true/></dict></plist>\n";
  process.writeFile(mornaq::format::kSeedPath, seed);

  start();
  EXPECT_EQ(process.readFile(mornaq::format::kMainSettingsPath), seed);

  writeSettings({{"isTweakEnabled", true}});
  const std::string changed = process.readFile(mornaq::format::kMainSettingsPath);
  {
    testing_support::TestProcess springboard("com.apple.springboard", process.root());
    mornaq::runLoadSequence();
  }
  EXPECT_EQ(process.readFile(mornaq::format::kMainSettingsPath), changed);
}

TEST_F(LoadSequence, WithoutSeedFileMainSettingsStaysMissingAndNothingIsAnswered) {
  start();
  app->receive("hello", kAnn);
  process.queue().runUntilIdle();

  EXPECT_FALSE(platform::NSFileManager::fileExistsAtPath(mornaq::format::kMainSettingsPath));
  EXPECT_THAT(reports.switches, ElementsAre(false, false));  // as the app starts, at receipt
  EXPECT_THAT(sent, IsEmpty());
}

TEST_F(LoadSequence, BuildsTheSupportedVersionsInTheirOrder) {
  EXPECT_THAT(mornaq::supportedVersions(), IsEmpty());
  start();
  EXPECT_THAT(mornaq::supportedVersions(),
              ElementsAre("2.20.110.30", "2.20.102", "2.20.101", "2.20.100"));
}

class ChatManagerVariant : public HooksTest, public testing::WithParamInterface<std::string> {};

TEST_P(ChatManagerVariant, TheHostsOneInitialiserRegistersTheSender) {
  writeSettings(kAnswerEverybody);
  start(GetParam());
  app->receive("hello", kAnn);
  process.queue().runUntilIdle();

  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].at, seconds(7));
  EXPECT_EQ(sent[0].text, "Away");
  // One sender: the initialiser the host calls, and only it, is hooked.
  EXPECT_EQ(replyObservers(), 1u);
  EXPECT_EQ(reports.outcomes.size(), 1u);
}

// From 2.20.110.30 on the 17-part initialiser, before that the 16-part one.
INSTANTIATE_TEST_SUITE_P(HostVersions, ChatManagerVariant,
                         testing::Values("2.20.110.30", "2.21.3", "2.20.102", "2.20.100",
                                         "2.20.99"));

TEST_F(LoadSequence, SwitchOffWhenTheChatManagerIsCreatedMeansRequestsAreNeverSent) {
  auto switchedOff = kAnswerEverybody;
  switchedOff["isTweakEnabled"] = false;
  writeSettings(switchedOff);
  start();
  writeSettings({{"isTweakEnabled", true}});
  app->receive("hello", kAnn);
  process.queue().runUntilIdle();

  expectPostedButNotTaken(reports);
  EXPECT_EQ(replyObservers(), 0u);
  EXPECT_THAT(sent, IsEmpty());
}

TEST_F(LoadSequence, EveryChatManagerInitialisedWithTheSwitchOnSendsItsOwnCopy) {
  writeSettings(kAnswerEverybody);
  start();
  auto& runtime = process.process().runtime();
  Id storage = std::make_shared<hosts::whatsapp::ChatStorage>(
      runtime.lookUpClass("WAChatStorage").get(), [this](const Id&, const std::string& text) {
        sent.push_back({process.queue().now(), {}, text});
      });
  Id second =
      std::make_shared<hosts::whatsapp::ChatManager>(runtime.lookUpClass("WAChatManager").get());
  const Id nil;
  platform::send<Id>(second, host::kChatManagerInit17, storage, nil, nil, nil, nil, nil, nil, nil,
                     nil, nil, nil, nil, nil, nil, nil, nil, nil);

  app->receive("hello", kAnn);
  process.queue().runUntilIdle();

  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].at, seconds(7));
  EXPECT_EQ(sent[1].at, seconds(7));
  EXPECT_EQ(sent[1].text, "Away");
}

TEST_F(LoadSequence, TerminationWithTheSwitchOnRemovesTheSenders) {
  writeSettings(kAnswerEverybody);
  start();
  app->receive("hello", kAnn);
  process.queue().runUntil(seconds(1));
  reports.clear();

  app->terminate();
  EXPECT_THAT(reports.switches, ElementsAre(true));
  EXPECT_EQ(replyObservers(), 0u);

  process.queue().runUntilIdle();
  expectPostedButNotTaken(reports);
  EXPECT_THAT(sent, IsEmpty());
}

TEST_F(LoadSequence, TerminationWithTheSwitchOffDoesNothing) {
  writeSettings(kAnswerEverybody);
  start();
  app->receive("hello", kAnn);
  process.queue().runUntil(seconds(1));
  writeSettings({{"isTweakEnabled", false}});
  reports.clear();

  app->terminate();
  EXPECT_THAT(reports.switches, ElementsAre(false));
  EXPECT_EQ(replyObservers(), 1u);

  process.queue().runUntilIdle();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].at, seconds(7));
}

}  // namespace
}  // namespace hooks_test
