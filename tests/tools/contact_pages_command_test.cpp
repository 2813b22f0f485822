// The contact pages end to end, each app a program of its own: an address
// book imported with `mornaq contacts import`, one contact given its own
// reply and another blacklisted in `mornaq settings`, and `mornaq whatsapp`
// answering all three accordingly.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/tools/command_fixture.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using tools_test::events;
using tools_test::Finished;

class ContactPagesCommands : public tools_test::CommandTest {
 protected:
  Finished mornaq(const std::vector<std::string>& arguments, std::string_view input = "") {
    return tools_test::runMornaq(arguments, input, folder);
  }
};

TEST_F(ContactPagesCommands, AContactsOwnReplyAndTheBlacklistReachTheMessagingApp) {
  ASSERT_EQ(mornaq({"install", "--root", root}).status, 0);
  const fs::path cards = folder / "contacts.vcf";
  std::ofstream(cards) << "BEGIN:VCARD\nVERSION:3.0\nUID:ann-01\nN:Lee;Ann;;;\n"
                          "TEL:+1 555 0101\nEND:VCARD\n"
                          "BEGIN:VCARD\nVERSION:3.0\nUID:bob-02\nN:Roe;Bob;;;\n"
                          "TEL:+1 555 0102\nEND:VCARD\n"
                          "BEGIN:VCARD\nVERSION:3.0\nUID:cem-03\nN:Kaya;Cem;;;\n"
                          "TEL:+1 555 0103\nEND:VCARD\n";
  const Finished imported = mornaq({"contacts", "import", "--root", root, cards.string()});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(mornaq({"contacts", "--root", root}).out,
            "ann-01:ABPerson\tAnn Lee\nbob-02:ABPerson\tBob Roe\ncem-03:ABPerson\tCem Kaya\n");

  const Finished settings = mornaq({"settings", "--root", root, "--json"}, R"({"alert":"Ok"}
{"set":{"key":"isTweakEnabled","value":true}}
{"tap":"Global Reply"}
{"set":{"key":"isGlobalEnabled","value":true}}
{"set":{"key":"isGlobAutoEnabled","value":true}}
{"type":{"key":"customReplyGlob","text":"Busy, :name:."}}
{"back":true}
{"tap":"Contacts"}
{"tap":"Ann Lee"}
{"set":{"key":"isContactEnabled","value":true}}
{"set":{"key":"isAutoReplyContact","value":true}}
{"type":{"key":"customReply","text":"Ann, back at two."}}
{"bar":"Save"}
{"alert":"Ok"}
{"back":true}
{"back":true}
{"tap":"Blacklist"}
{"tap":"Bob Roe"}
{"set":{"key":"isContactBlackList","value":true}}
{"back":true}
{"back":true}
{"tap":"Blacklist"}
)");
  ASSERT_EQ(settings.status, 0) << settings.err;
  // Each list as its rows' labels with the state icon each row shows: the
  // group row has none, and Bob's is the blacklisted one in a list opened
  // after he was blacklisted.
  std::vector<std::string> lists;
  for (const auto& event : events(settings.out)) {
    if (event.contains("page") && event["page"]["class"] == "MNQContactBlackListController") {
      std::string list = event["page"]["title"];
      for (const auto& row : event["page"]["rows"]) {
        list += " | " + row["label"].get<std::string>() + " " + row.value("icon", "-");
      }
      lists.push_back(list);
    }
  }
  ASSERT_EQ(lists.size(), 3u) << settings.out;
  EXPECT_EQ(lists.front(),
            "3 Contacts | Contacts - | Ann Lee icon@2x | Bob Roe Contact@2x | Cem Kaya Contact@2x");
  EXPECT_EQ(lists.back(),
            "3 Contacts | Contacts - | Ann Lee icon@2x | Bob Roe ContactBl@2x | "
            "Cem Kaya Contact@2x");

  const Finished whatsapp = mornaq({"whatsapp", "--root", root, "--virtual-time", "--json"}, R"(
{"at":0,"receive":{"text":"Lunch?","chat":{"contactIdentifier":"ann-01:ABPerson","displayName":"Ann"}}}
{"at":20,"receive":{"text":"Call me","chat":{"contactIdentifier":"bob-02:ABPerson","displayName":"Bob"}}}
{"at":40,"receive":{"text":"Hello","chat":{"contactIdentifier":"cem-03:ABPerson","displayName":"Cem"}}}
)");
  ASSERT_EQ(whatsapp.status, 0) << whatsapp.err;
  std::vector<std::pair<std::string, std::string>> sent;
  for (const auto& event : events(whatsapp.out)) {
    if (event.contains("sent"))
      sent.emplace_back(event["sent"]["displayName"], event["sent"]["text"]);
  }
  EXPECT_EQ(sent, (std::vector<std::pair<std::string, std::string>>{{"Ann", "Ann, back at two."},
                                                                    {"Cem", "Busy, Cem."}}))
      << whatsapp.out;
}

// A file that gives no card is refused with where and why, and the address book stays as it was.
TEST_F(ContactPagesCommands, ImportSaysWhyItCannotReadAFileAndKeepsTheAddressBook) {
  ASSERT_EQ(mornaq({"install", "--root", root}).status, 0);
  const fs::path good = folder / "good.vcf";
  std::ofstream(good) << "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann-01\r\nN:Lee;Ann;;;\r\n"
                         "TEL:+1 555 0101\r\nEND:VCARD\r\n";
  ASSERT_EQ(mornaq({"contacts", "import", "--root", root, good.string()}).status, 0);
  const fs::path csv = folder / "contacts.csv";
  std::ofstream(csv) << "First Name,Last Name,Mobile Phone\nAnn,Lee,+1 555 0101\n";
  const Finished imported = mornaq({"contacts", "import", "--root", root, csv.string()});
  EXPECT_EQ(imported.status, 1);
  EXPECT_THAT(imported.err,
              testing::EndsWith("mornaq contacts import: cannot read " + csv.string() +
                                ": line 1: outside any card (no BEGIN:VCARD)\n"));
  EXPECT_EQ(mornaq({"contacts", "--root", root}).out, "ann-01:ABPerson\tAnn Lee\n");
}

// The reply policy and history pages the same way: reply once set in the
// Settings app holds back the messaging app's second reply to Ann, and the
// History page lists what left, newest first, until it is cleared.
TEST_F(ContactPagesCommands, ReplyOnceSetInTheSettingsAppHoldsBackAndTheHistoryShowsWhatLeft) {
  ASSERT_EQ(mornaq({"install", "--root", root}).status, 0);
  const Finished settings = mornaq({"settings", "--root", root, "--json"}, R"({"alert":"Ok"}
{"set":{"key":"isTweakEnabled","value":true}}
{"tap":"Global Reply"}
{"set":{"key":"isGlobalEnabled","value":true}}
{"set":{"key":"isGlobAutoEnabled","value":true}}
{"type":{"key":"customReplyGlob","text":"Busy."}}
{"back":true}
{"tap":"Reply Policy"}
{"set":{"key":"isReplyOnce","value":true}}
{"type":{"key":"replyOnceHours","text":"2"}}
{"back":true}
)");
  ASSERT_EQ(settings.status, 0) << settings.err;

  const Finished whatsapp = mornaq(
      {"whatsapp", "--root", root, "--virtual-time", "--start", "2026-12-07T10:00:00", "--json"},
      R"(
{"at":0,"receive":{"text":"Hi","chat":{"contactIdentifier":"ann-01:ABPerson","displayName":"Ann"}}}
{"at":5,"receive":{"text":"Hello?","chat":{"contactIdentifier":"ann-01:ABPerson","displayName":"Ann"}}}
{"at":10,"receive":{"text":"Hi","chat":{"contactIdentifier":"bob-02:ABPerson","displayName":"Bob"}}}
)");
  ASSERT_EQ(whatsapp.status, 0) << whatsapp.err;
  std::vector<std::pair<double, std::string>> sent;
  std::vector<json> held;
  for (const auto& event : events(whatsapp.out)) {
    if (event.contains("sent")) sent.emplace_back(event["t"], event["sent"]["displayName"]);
    if (event.contains("reply") && !event["reply"]["sent"]) held.push_back(event["reply"]);
  }
  EXPECT_EQ(sent, (std::vector<std::pair<double, std::string>>{{6, "Ann"}, {16, "Bob"}}));
  const json heldBack = {{"id", 2},
                         {"sent", false},
                         {"text", nullptr},
                         {"stoppedBy", "replyOnce"},
                         {"why", "Ann got a reply 5 s ago; Reply once waits 2 h."}};
  EXPECT_EQ(held, std::vector<json>{heldBack});

  const Finished history = mornaq({"settings", "--root", root, "--json"}, R"({"tap":"History"}
{"tap":"Clear History"}
{"alert":"Clear"}
{"show":true}
)");
  ASSERT_EQ(history.status, 0) << history.err;
  std::vector<std::vector<std::string>> shown;
  for (const auto& event : events(history.out)) {
    if (!event.contains("page") || event["page"]["class"] != "MNQHistoryListController") continue;
    std::vector<std::string>& labels = shown.emplace_back();
    for (const auto& row : event["page"]["rows"]) labels.push_back(row["label"]);
  }
  const std::vector<std::string> frame{"History", "Clear History", "Replies"};
  auto page = [&](std::vector<std::string> rows) {
    rows.insert(rows.begin(), frame.begin(), frame.end());
    return rows;
  };
  EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{
                       page({"Bob, 2026-12-07 10:00:16: Busy.", "Ann, 2026-12-07 10:00:06: Busy."}),
                       page({"No replies yet"})}));
}

// "Reply to" set to My contacts in the Settings app: the global reply answers a contact, and holds
// back a message from a number not in the address book.
TEST_F(ContactPagesCommands, ReplyToMyContactsLeavesANumberNotInTheAddressBookUnanswered) {
  ASSERT_EQ(mornaq({"install", "--root", root}).status, 0);
  const Finished settings = mornaq({"settings", "--root", root}, R"({"alert":"Ok"}
{"set":{"key":"isTweakEnabled","value":true}}
{"tap":"Global Reply"}
{"set":{"key":"audienceGlob","value":"contacts"}}
)");
  ASSERT_EQ(settings.status, 0) << settings.err;
  const Finished whatsapp =
      mornaq({"whatsapp", "--root", root, "--virtual-time", "--json", "--why"},
             R"({"at":0,"settings":{"isGlobalEnabled":true,"isGlobAutoEnabled":true}}
{"at":1,"receive":{"text":"Hi","chat":{"contactIdentifier":"ann-01:ABPerson","displayName":"Ann"}}}
{"at":2,"receive":{"text":"Hi","chat":{"displayName":"+44 7700 900999"}}}
)");
  std::map<int, json> stoppedBy;  // by message
  for (const auto& event : events(whatsapp.out)) {
    if (event.contains("why")) stoppedBy[event["why"]["id"]] = event["why"]["stoppedBy"];
  }
  EXPECT_EQ(stoppedBy, (std::map<int, json>{{1, nullptr}, {2, "audience"}})) << whatsapp.out;
}

}  // namespace
