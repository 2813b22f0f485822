// Who is the owner of an export and which chat the others write in, and the
// scenario the messaging app runs for it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/contacts/contacts.h"
#include "tests/support/test_process.h"
#include "tests/support/time_zone.h"
#include "tools/listed_contacts.h"
#include "tools/replay/timeline.h"
#include "tools/replay/who_is_who.h"

namespace replay_test {
namespace {

using namespace tools::replay;
using nlohmann::json;

const std::vector<tools::ListedContact> kBook{
    {"a1:ABPerson", "a1", "Ann Lee"}, {"m1:ABPerson", "m1", "Mum"}, {"z1:ABPerson", "z1", "Zoë"}};

TEST(WhoIsWhoTest, TheOwnerIsNamedOrTheOneTheChatIsNotNamedAfterOrNotInTheAddressBook) {
  const struct {
    std::vector<std::string> authors;
    bool moreAuthors;
    std::optional<std::string> chatName;
    std::optional<std::string> me;
    std::optional<ChatRoles> roles;  // none: fails with failure
    const char* failure;
  } cases[] = {
      {{"Ann Lee", "Tom"}, false, {}, "Tom", ChatRoles{"Tom", {"a1:ABPerson", "Ann Lee"}}, ""},
      {{"ann lee", "Tom"}, false, {}, "Tom", ChatRoles{"Tom", {"a1:ABPerson", "Ann Lee"}}, ""},
      {{"Bob", "Tom"}, false, "Bob", {}, ChatRoles{"Tom", {{}, "Bob"}}, ""},
      {{"Tom"}, false, "Zoë", {}, ChatRoles{"Tom", {"z1:ABPerson", "Zoë"}}, ""},
      {{"Ann Lee"}, false, "Ann Lee", {}, ChatRoles{"", {"a1:ABPerson", "Ann Lee"}}, ""},
      {{"Tom", "Ann Lee"}, false, {}, {}, ChatRoles{"Tom", {"a1:ABPerson", "Ann Lee"}}, ""},
      {{"+44 7700 900123", "Tom"}, false, {}, "Tom", ChatRoles{"Tom", {{}, "+44 7700 900123"}}, ""},
      {{"Mum", "Tom", "Ann"}, false, "Family", "Tom", ChatRoles{"Tom", {{}, "Family", true}}, ""},
      {{"Mum", "Tom"}, true, {}, "Dad", ChatRoles{"Dad", {{}, "export", true}}, ""},
      {{}, false, {}, {}, ChatRoles{"", {{}, "export"}}, ""},
      {{"Ann Lee", "Mum"}, false, {}, {}, {}, "cannot tell which author is you: Ann Lee, Mum"},
      {{"Bob", "Tom"}, false, {}, {}, {}, "cannot tell which author is you: Bob, Tom"},
      {{"Tom"}, false, {}, {}, {}, "cannot tell which author is you: Tom"},
      {{"Mum", "Tom", "Bob"}, false, "Family", {}, {}, "cannot tell which author is you"},
      {{"Ann Lee", "Tom"}, false, {}, "Tomm", {}, "Tomm wrote none of its messages; its authors"},
  };
  for (const auto& test : cases) {
    const ExportOverview overview{.dateOrder = {},
                                  .authors = test.authors,
                                  .moreAuthors = test.moreAuthors,
                                  .chatName = test.chatName,
                                  .messages = test.authors.size()};
    const auto roles = decideRoles(overview, test.me, kBook, "/exports/export.txt");
    SCOPED_TRACE(testing::PrintToString(test.authors));
    if (test.roles) {
      ASSERT_TRUE(roles.ok()) << roles.reason();
      EXPECT_EQ(*roles, *test.roles);
    } else {
      ASSERT_FALSE(roles.ok());
      EXPECT_THAT(roles.reason(),
                  testing::StartsWith(std::string("/exports/export.txt: ") + test.failure));
    }
  }
}

TEST(WhoIsWhoTest, TheAddressBookIsListedAsTheSettingsPagesListIt) {
  testing_support::TestProcess phone;
  phone.writeFile(
      platform::contacts::kAddressBookPath,
      "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann\r\nN:Lee;Ann;;;\r\nTEL:+44 1\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann2\r\nN:Lee;Ann;;;\r\nTEL:+44 2\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bo\r\nFN:Bo\r\nEND:VCARD\r\n");
  const auto listed = tools::listedContacts(phone.root());
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].key, "ann");
  EXPECT_EQ(listed[0].name, "Ann Lee");
  EXPECT_EQ(listed[1].key, "ann2");
  EXPECT_EQ(listed[1].name, "Ann Lee-2");
}

ExportedMessage message(LocalDateTime time, const char* author, std::optional<std::string> text) {
  return {.line = 1, .time = time, .author = author, .text = std::move(text)};
}

TEST(TimelineTest, TheContactsMessagesArriveAndTheOwnersAreSentAtTheirTimes) {
  const testing_support::TimeZone berlin("Europe/Berlin");
  const ChatRoles roles{"Tom", {"a1:ABPerson", "Ann Lee"}};
  const json chat{
      {"contactIdentifier", "a1:ABPerson"}, {"displayName", "Ann Lee"}, {"group", false}};
  const struct {
    LocalDateTime time;
    const char* author;
    std::optional<std::string> text;
    int at;
    const char* event;
    json eventText;
  } steps[] = {
      {{2021, 3, 27, 23, 59, 30}, "Ann Lee", "Hi", 0, "receive", "Hi"},
      {{2021, 3, 28, 0, 0, 10}, "Tom", "Hey", 40, "send", "Hey"},
      // Written earlier than the one before: right after it.
      {{2021, 3, 27, 23, 59, 0}, "Ann Lee", {}, 40, "receive", nullptr},
      {{2021, 3, 28, 1, 59, 30}, "Tom", {}, 7200, "send", ""},
      // Summer time starts at 2:00: the clock skips an hour.
      {{2021, 3, 28, 3, 0, 30}, "Ann Lee", "Up?", 7260, "receive", "Up?"},
  };
  Timeline timeline(roles);
  EXPECT_FALSE(timeline.start());
  for (const auto& step : steps) {
    EXPECT_EQ(timeline.next(message(step.time, step.author, step.text)),
              (json{{"at", step.at}, {step.event, {{"text", step.eventText}, {"chat", chat}}}}));
  }
  ASSERT_TRUE(timeline.start());
  EXPECT_EQ(isoText(*timeline.start()), "2021-03-27T23:59:30");

  Timeline group(ChatRoles{"Tom", {{}, "Family", true}});
  EXPECT_EQ(group.next(message({2021, 1, 1, 10, 0, 0}, "Mum", "Hi"))["receive"]["chat"],
            (json{{"contactIdentifier", nullptr}, {"displayName", "Family"}, {"group", true}}));
}

}  // namespace
}  // namespace replay_test
