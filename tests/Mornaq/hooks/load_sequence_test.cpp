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
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Not;

const std::string kSwitchOn = "[Mornaq] getPlistValue value:-1";
const std::string kSwitchOff = "[Mornaq] getPlistValue value:-0";
const std::string kGlobalReplyPosted =
    "[Mornaq] [GLOBAL] Word didn't Match or isn't enabled will send a reply to phoneNumber";

// Everybody gets "Away", 4 s after the 3 s of screening and decision.
const Dictionary kAnswerEverybody{{"isTweakEnabled", true},
                                  {"isGlobalEnabled", true},
                                  {"isGlobAutoEnabled", true},
                                  {"customReplyGlob", "Away"},
                                  {"customReplyGlobDelay", "4"}};

std::size_t replyObservers() {
  return platform::NotificationCenter::defaultCenter().observerCount("MornaqSendWMMessage");
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
  EXPECT_THAT(process.log(), ElementsAre(kSwitchOff, kSwitchOff));
  EXPECT_THAT(sent, IsEmpty());
}

TEST_F(LoadSequence, BuildsTheSupportedVersionsInTheirOrder) {
  EXPECT_THAT(mornaq::supportedVersions(), IsEmpty());
  start();
  EXPECT_THAT(mornaq::supportedVersions(),
              ElementsAre("2.20.110.30", "2.20.102", "2.20.101", "2.20.100"));
}

struct VariantCase {
  std::string version;
  std::string tag;
  std::string otherTag;
};

class ChatManagerVariant : public HooksTest, public testing::WithParamInterface<VariantCase> {};

TEST_P(ChatManagerVariant, TheHostsOneInitialiserRegistersTheSender) {
  writeSettings(kAnswerEverybody);
  start(GetParam().version);
  app->receive("hello", kAnn);
  process.queue().runUntilIdle();

  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].at, seconds(7));
  EXPECT_EQ(sent[0].text, "Away");
  EXPECT_THAT(process.log(),
              Contains("Mornaq[" + GetParam().tag + "] initWithChatStorageNSNotificationCenter"));
  EXPECT_THAT(process.log(), Not(Contains("Mornaq[" + GetParam().otherTag +
                                          "] initWithChatStorageNSNotificationCenter")));
}

INSTANTIATE_TEST_SUITE_P(HostVersions, ChatManagerVariant,
                         testing::Values(VariantCase{"2.20.110.30", "110.30", "20.100-102"},
                                         VariantCase{"2.21.3", "110.30", "20.100-102"},
                                         VariantCase{"2.20.102", "20.100-102", "110.30"},
                                         VariantCase{"2.20.100", "20.100-102", "110.30"},
                                         VariantCase{"2.20.99", "20.100-102", "110.30"}));

TEST_F(LoadSequence, SwitchOffWhenTheChatManagerIsCreatedMeansRequestsAreNeverSent) {
  auto switchedOff = kAnswerEverybody;
  switchedOff["isTweakEnabled"] = false;
  writeSettings(switchedOff);
  start();
  writeSettings({{"isTweakEnabled", true}});
  app->receive("hello", kAnn);
  process.queue().runUntilIdle();

  EXPECT_THAT(process.log(), Contains(kGlobalReplyPosted));
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
  takeLog();

  app->terminate();
  EXPECT_THAT(takeLog(), ElementsAre(kSwitchOn, "Mornaq applicationWillTerminate"));
  EXPECT_EQ(replyObservers(), 0u);

  process.queue().runUntilIdle();
  EXPECT_THAT(process.log(), Contains(kGlobalReplyPosted));
  EXPECT_THAT(sent, IsEmpty());
}

TEST_F(LoadSequence, TerminationWithTheSwitchOffDoesNothing) {
  writeSettings(kAnswerEverybody);
  start();
  app->receive("hello", kAnn);
  process.queue().runUntil(seconds(1));
  writeSettings({{"isTweakEnabled", false}});
  takeLog();

  app->terminate();
  EXPECT_THAT(takeLog(), ElementsAre(kSwitchOff));
  EXPECT_EQ(replyObservers(), 1u);

  process.queue().runUntilIdle();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].at, seconds(7));
}

}  // namespace
}  // namespace hooks_test
