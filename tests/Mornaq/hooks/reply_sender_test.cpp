// Reply requests reaching the sender the chat-manager hook registered: the
// delay, the template's placeholders and the send with its fixed arguments.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "Mornaq/engine/reply_sender.h"
#include "Mornaq/engine/reply_template.h"
#include "hosts/whatsapp/chat_objects.h"
#include "platform/dispatch/main_queue.h"
#include "platform/substrate/substrate.h"
#include "tests/Mornaq/hooks/hooks_fixture.h"

namespace hooks_test {
namespace {

using std::chrono::nanoseconds;
using testing::ElementsAre;
using testing::IsEmpty;

class ReplySender : public HooksTest {
 protected:
  void SetUp() override {
    writeSettings({{"isTweakEnabled", true}});
    start();
    ann = hosts::whatsapp::makeChatSession(kAnn);
  }

  Id ann;
};

struct DelayCase {
  platform::Value delay;
  nanoseconds wait;
};

class ReplyDelay : public ReplySender, public testing::WithParamInterface<DelayCase> {};

TEST_P(ReplyDelay, WaitsTheRequestsWholeSeconds) {
  postReplyRequest("Later", GetParam().delay, ann);
  if (GetParam().wait > nanoseconds(0)) {
    process.queue().runUntil(GetParam().wait - nanoseconds(1));
    EXPECT_THAT(sent, IsEmpty());
  }
  process.queue().runUntil(GetParam().wait);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].at, GetParam().wait);
}

INSTANTIATE_TEST_SUITE_P(Delays, ReplyDelay,
                         testing::Values(DelayCase{"3", seconds(3)}, DelayCase{"0", seconds(0)},
                                         DelayCase{"2.9", seconds(2)}, DelayCase{"-5", seconds(0)},
                                         DelayCase{"abc", seconds(0)}, DelayCase{7, seconds(7)},
                                         DelayCase{{}, seconds(0)}));

TEST_F(ReplySender, ADelayTooLargeForNanosecondsWaitsUntilTheEndOfTimeInstead) {
  for (const char* delay : {"9223372037", "99999999999999999999999"}) {
    postReplyRequest("Never", delay, ann);
  }
  process.queue().runUntil(std::chrono::years(100));
  EXPECT_THAT(sent, IsEmpty());
  EXPECT_EQ(process.queue().nextDue(), platform::Duration::max());
}

TEST_F(ReplySender, ExpandsThePlaceholdersAndSendsIntoTheRequestsChat) {
  postReplyRequest("Hi :name::newline:Bye", "0", ann);
  process.queue().runUntilIdle();

  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].text, "Hi Ann\nBye");
  EXPECT_EQ(sent[0].chat.contactIdentifier, "ann:ABPerson");
  ASSERT_EQ(reports.outcomes.size(), 1u);
  EXPECT_EQ(reports.outcomes[0].facts,
            (Dictionary{{"sent", true}, {"text", "Hi Ann\nBye"}, {"stoppedBy", {}}, {"why", {}}}));
}

TEST_F(ReplySender, SendsWithTheFixedArguments) {
  struct Arguments {
    bool multicast = true;
    Id attachments;
    std::int64_t messageOrigin = 0;
    Id chatSession;
    bool hasTextFromURL = true, openedFromURL = true, smbAutomated = true;
  } seen;
  std::function<Id(Id, std::string, bool, Id, std::int64_t, Id, bool, bool, bool)> previous;
  platform::MSHookMessageEx(
      process.process().runtime().lookUpClass("WAChatStorage"),
      "sendMessageWithText:multicast:attachments:messageOrigin:inChatSession:hasTextFromURL:"
      "openedFromURL:smbAutomated:",
      [&](Id self, std::string text, bool multicast, Id attachments, std::int64_t origin, Id chat,
          bool fromURL, bool openedFromURL, bool automated) {
        seen = {multicast, attachments, origin, chat, fromURL, openedFromURL, automated};
        return previous(self, text, multicast, attachments, origin, chat, fromURL, openedFromURL,
                        automated);
      },
      &previous);

  postReplyRequest("Hi", "0", ann);
  process.queue().runUntilIdle();

  ASSERT_EQ(sent.size(), 1u);
  EXPECT_FALSE(seen.multicast);
  EXPECT_EQ(seen.attachments, nullptr);
  EXPECT_EQ(seen.messageOrigin, 1);
  EXPECT_EQ(seen.chatSession, ann);
  EXPECT_FALSE(seen.hasTextFromURL);
  EXPECT_FALSE(seen.openedFromURL);
  EXPECT_FALSE(seen.smbAutomated);
}

TEST_F(ReplySender, ARequestWithoutAChatIsDropped) {
  postReplyRequest("Hi", "0", nullptr);
  process.queue().runUntilIdle();

  EXPECT_THAT(sent, IsEmpty());
  EXPECT_THAT(reports.outcomes, IsEmpty());  // dropped before its sending step
}

TEST_F(ReplySender, TheSenderNeverLooksAtTheSwitchAgain) {
  writeSettings({{"isTweakEnabled", false}});
  postReplyRequest("Still sent", "1", ann);
  process.queue().runUntilIdle();

  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].text, "Still sent");
}

TEST_F(ReplySender, AChatWithoutIdentifierOrNameIsAnsweredWithTheirEmptyForms) {
  postReplyRequest("Hi :name:!", "0", hosts::whatsapp::makeChatSession({}));
  process.queue().runUntilIdle();

  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].text, "Hi !");
  EXPECT_EQ(sent[0].chat.contactIdentifier, std::nullopt);
}

struct TemplateCase {
  std::string replyTemplate;
  std::optional<std::string> displayName;
  std::string expanded;
};

void PrintTo(const TemplateCase& templateCase, std::ostream* out) {
  *out << testing::PrintToString(templateCase.replyTemplate) << " with name "
       << testing::PrintToString(templateCase.displayName);
}

class ReplyTemplate : public testing::TestWithParam<TemplateCase> {};

TEST_P(ReplyTemplate, Expands) {
  EXPECT_EQ(mornaq::expandReplyTemplate(GetParam().replyTemplate, {.name = GetParam().displayName}),
            GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(
    Placeholders, ReplyTemplate,
    testing::Values(TemplateCase{"Hi :name::newline:Bye", "Ann", "Hi Ann\nBye"},
                    TemplateCase{":NEWLINE: and :Name:", "Ann", ":NEWLINE: and :Name:"},
                    TemplateCase{":name: and :name:", "Ann", "Ann and Ann"},
                    TemplateCase{"a:newline::newline:b", "Ann", "a\n\nb"},
                    TemplateCase{"Hi :name:", std::nullopt, "Hi "},
                    // The name goes in after the line breaks, so it reads as it is.
                    TemplateCase{"<:name:>", "x:newline:y", "<x:newline:y>"},
                    TemplateCase{":name:", ":name:", ":name:"},
                    TemplateCase{"::newline::", "Ann", ":\n:"}, TemplateCase{"", "Ann", ""}));

}  // namespace
}  // namespace hooks_test
