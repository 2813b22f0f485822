#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/contacts/contacts.h"
#include "tests/support/result_matchers.h"
#include "tests/support/test_process.h"

namespace {

using namespace platform::contacts;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using testing_support::FailsWith;
using testing_support::Succeeds;

using Phones = std::vector<std::pair<std::optional<std::string>, std::string>>;

// What the store delivered of one contact.
struct Seen {
  std::string identifier;
  std::optional<std::string> givenName;
  std::optional<std::string> familyName;
  Phones phones;
  bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
  *out << seen.identifier << " given=" << seen.givenName.value_or("(absent)")
       << " family=" << seen.familyName.value_or("(absent)") << " phones=" << seen.phones.size();
}

class ContactStoreTest : public ::testing::Test {
 protected:
  void writeAddressBook(const std::string& text) { process_.writeFile(kAddressBookPath, text); }

  std::vector<Seen> readAll(platform::Result<>* read = nullptr) {
    CNContactFetchRequest request({std::string(CNContactGivenNameKey),
                                   std::string(CNContactFamilyNameKey),
                                   std::string(CNContactPhoneNumbersKey)});
    std::vector<Seen> seen;
    auto result =
        CNContactStore().enumerateContactsWithFetchRequest(request, [&](const CNContact& c, bool&) {
          Phones phones;
          for (const auto& phone : c.phoneNumbers()) {
            phones.emplace_back(phone.label, phone.value.stringValue());
          }
          seen.push_back({c.identifier(), c.givenName(), c.familyName(), phones});
        });
    if (read) *read = std::move(result);
    return seen;
  }

  testing_support::TestProcess process_;
};

struct CardCase {
  const char* what;
  const char* vcard;
  Seen expected;
};

TEST_F(ContactStoreTest, ReadsTheFieldsOfOneCard) {
  const CardCase cases[] = {
      {"vCard 3.0 with CRLF",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u1\r\nN:Smith;Alice;;;\r\nFN:Alice Smith\r\n"
       "TEL;TYPE=CELL:+1 555 0100\r\nTEL;TYPE=HOME:+1 555 0101\r\nEND:VCARD\r\n",
       {"u1:ABPerson", "Alice", "Smith", {{"CELL", "+1 555 0100"}, {"HOME", "+1 555 0101"}}}},
      {"vCard 4.0 with tel: addresses and quoted types",
       "BEGIN:VCARD\nVERSION:4.0\nUID:urn:uuid:4fbe8971\nFN:Bob\nN:Jones;Bob;;;\n"
       "TEL;VALUE=uri;TYPE=\"cell,voice\":tel:+44-20-7946-0958\nEND:VCARD\n",
       {"urn:uuid:4fbe8971:ABPerson", "Bob", "Jones", {{"cell,voice", "+44-20-7946-0958"}}}},
      {"folded lines, by a blank and by a tab",
       "BEGIN:VCARD\nVERSION:3.0\nUID:u3\nN:Van der Be\n rg;Wil\n\thelmina;;;\nTEL:1\nEND:VCARD\n",
       {"u3:ABPerson", "Wilhelmina", "Van der Berg", {{std::nullopt, "1"}}}},
      {"escaped characters",
       "BEGIN:VCARD\nVERSION:3.0\nUID:u4\nN:O\\,Brien\\;Jr;Se\\\\an\\nMary;;;\nTEL:2\nEND:VCARD\n",
       {"u4:ABPerson", "Se\\an\nMary", "O,Brien;Jr", {{std::nullopt, "2"}}}},
      {"UTF-8 names",
       "BEGIN:VCARD\nVERSION:4.0\nUID:u5\nN:Ødegård;Zoë;;;\nTEL:3\nEND:VCARD\n",
       {"u5:ABPerson", "Zoë", "Ødegård", {{std::nullopt, "3"}}}},
      {"N with the family name only: the given name is empty, not absent",
       "BEGIN:VCARD\nVERSION:3.0\nUID:u6\nN:Smith\nTEL:4\nEND:VCARD\n",
       {"u6:ABPerson", "", "Smith", {{std::nullopt, "4"}}}},
      {"no N: FN stands as the given name, the family name is absent",
       "BEGIN:VCARD\nVERSION:4.0\nUID:u7\nFN:Dr. Carol King\nTEL:5\nEND:VCARD\n",
       {"u7:ABPerson", "Dr. Carol King", std::nullopt, {{std::nullopt, "5"}}}},
      {"neither N nor FN: both names absent",
       "BEGIN:VCARD\nVERSION:4.0\nUID:u8\nTEL:6\nEND:VCARD\n",
       {"u8:ABPerson", std::nullopt, std::nullopt, {{std::nullopt, "6"}}}},
      {"grouped, lower-case and bare-typed properties, byte-order mark",
       "\xEF\xBB\xBF"
       "begin:vcard\nversion:3.0\nuid:u9\nn:Lee;Ann;;;\nitem1.TEL:7\nTEL;CELL:8\n"
       "end:vcard\n",
       {"u9:ABPerson", "Ann", "Lee", {{std::nullopt, "7"}, {"CELL", "8"}}}},
      {"no phone number",
       "BEGIN:VCARD\nVERSION:3.0\nUID:u10\nN:Solo;Han;;;\nEND:VCARD\n",
       {"u10:ABPerson", "Han", "Solo", {}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writeAddressBook(c.vcard);
    EXPECT_THAT(readAll(), ElementsAre(c.expected));
    EXPECT_THAT(process_.log(), IsEmpty());
  }
}

TEST_F(ContactStoreTest, DeliversContactsInFileOrder) {
  writeAddressBook(
      "BEGIN:VCARD\nVERSION:3.0\nUID:z\nN:Zed;;;;\nEND:VCARD\n\n"
      "BEGIN:VCARD\nVERSION:3.0\nUID:a\nN:Able;;;;\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:3.0\nUID:m\nN:Mid;;;;\nEND:VCARD\n");
  std::vector<std::string> identifiers;
  for (const auto& seen : readAll()) identifiers.push_back(seen.identifier);
  EXPECT_THAT(identifiers, ElementsAre("z:ABPerson", "a:ABPerson", "m:ABPerson"));
}

TEST_F(ContactStoreTest, CardsWithoutUidGetIdentifiersFromTheirContent) {
  const std::string lf = "BEGIN:VCARD\nVERSION:3.0\nN:Smith;Alice;;;\nTEL:+1 555 0100\nEND:VCARD\n";
  const std::string crlfFolded =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Al\r\n ice;;;\r\nTEL:+1 555 0100\r\nEND:VCARD\r\n";
  const std::string other =
      "BEGIN:VCARD\nVERSION:3.0\nN:Smith;Alicia;;;\nTEL:+1 555 0100\nEND:VCARD\n";

  writeAddressBook(lf);
  const auto first = readAll().at(0).identifier;
  EXPECT_THAT(first, ::testing::MatchesRegex("[0-9A-F]{16}:ABPerson"));
  EXPECT_EQ(readAll().at(0).identifier, first) << "stable from one read to the next";
  writeAddressBook(crlfFolded);
  EXPECT_EQ(readAll().at(0).identifier, first) << "line ends and folding do not count";
  writeAddressBook(other);
  EXPECT_NE(readAll().at(0).identifier, first);
}

TEST_F(ContactStoreTest, RepeatedIdentifiersAreMadeUnique) {
  const std::string withUid = "BEGIN:VCARD\nVERSION:3.0\nUID:x\nN:A;B;;;\nEND:VCARD\n";
  const std::string withoutUid = "BEGIN:VCARD\nVERSION:3.0\nN:C;D;;;\nEND:VCARD\n";
  writeAddressBook(withUid + withUid + withUid + withoutUid + withoutUid);
  const auto seen = readAll();
  ASSERT_THAT(seen, SizeIs(5));
  EXPECT_EQ(seen[0].identifier, "x:ABPerson");
  EXPECT_EQ(seen[1].identifier, "x-2:ABPerson");
  EXPECT_EQ(seen[2].identifier, "x-3:ABPerson");
  EXPECT_EQ(seen[4].identifier, seen[3].identifier.substr(0, 16) + "-2:ABPerson");
  EXPECT_THAT(process_.log(), SizeIs(3));
}

struct MalformedCase {
  const char* what;
  const char* card;  // placed between two good cards
  const char* logged;
};

TEST_F(ContactStoreTest, SkipsAMalformedCardWithALogLineAndKeepsTheOthers) {
  const std::string good1 = "BEGIN:VCARD\nVERSION:3.0\nUID:g1\nN:One;;;;\nTEL:1\nEND:VCARD\n";
  const std::string good2 = "BEGIN:VCARD\nVERSION:4.0\nUID:g2\nN:Two;;;;\nTEL:2\nEND:VCARD\n";
  const MalformedCase cases[] = {
      {"no END before the next card", "BEGIN:VCARD\nVERSION:3.0\nUID:bad\nN:Bad;;;;\n",
       "skipped the card at line 7 of /var/mobile/Library/AddressBook/AddressBook.vcf: line 11: "
       "BEGIN:VCARD before the card's END:VCARD"},
      {"a line that is no property", "BEGIN:VCARD\nVERSION:3.0\nUID:bad\njust words\nEND:VCARD\n",
       "skipped the card at line 7 of /var/mobile/Library/AddressBook/AddressBook.vcf: line 10: "
       "the line is not a property"},
      {"text that is not UTF-8", "BEGIN:VCARD\nVERSION:3.0\nUID:bad\nN:B\xC3\x28;;;;\nEND:VCARD\n",
       "line 10: the text is not UTF-8"},
      {"an unknown version", "BEGIN:VCARD\nVERSION:5.0\nUID:bad\nN:Bad;;;;\nEND:VCARD\n",
       "line 8: version 5.0 is not supported"},
      {"a phone type that is not UTF-8", "BEGIN:VCARD\nVERSION:3.0\nTEL;WOR\x9aK:1\nEND:VCARD\n",
       "line 9: the text is not UTF-8"},
      {"a property without a name", "BEGIN:VCARD\nVERSION:3.0\n:nameless\nEND:VCARD\n",
       "line 9: the line is not a property"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    process_.clearLog();
    writeAddressBook(good1 + c.card + good2);
    const auto seen = readAll();
    ASSERT_THAT(seen, SizeIs(2));
    EXPECT_EQ(seen[0].identifier, "g1:ABPerson");
    EXPECT_EQ(seen[1].identifier, "g2:ABPerson");
    EXPECT_THAT(process_.log(), ElementsAre(HasSubstr(c.logged)));
  }
}

TEST_F(ContactStoreTest, ACardCutOffAtTheEndAndStrayLinesAreReported) {
  writeAddressBook(
      "garbage before\nBEGIN:VCARD\nVERSION:3.0\nUID:g\nTEL:1\nEND:VCARD\nmore garbage\n"
      "BEGIN:VCARD\nVERSION:3.0\nUID:cut\n");
  EXPECT_THAT(readAll(), SizeIs(1));
  EXPECT_THAT(process_.log(), ElementsAre(HasSubstr("skipped the card at line 8"),
                                          HasSubstr("ignored 2 lines outside any card")));
}

TEST_F(ContactStoreTest, AMissingAddressBookIsEmpty) {
  platform::Result<> read = platform::Failure{"not read"};
  EXPECT_THAT(readAll(&read), IsEmpty());
  EXPECT_THAT(read, Succeeds());
  EXPECT_THAT(process_.log(), IsEmpty());
}

TEST_F(ContactStoreTest, AnUnreadableAddressBookIsEmptyAndFails) {
  std::filesystem::create_directories(process_.hostPath(kAddressBookPath));
  platform::Result<> read;
  EXPECT_THAT(readAll(&read), IsEmpty());
  EXPECT_THAT(read, FailsWith("Is a directory"));
  EXPECT_THAT(process_.log(),
              ElementsAre("Contacts: cannot read "
                          "/var/mobile/Library/AddressBook/AddressBook.vcf: Is a directory"));
}

// Address books as phones and mail programs leave them, damaged as such files are: an export cut
// short, a card whose folding an editor undid, a file in another format or encoding. A file that
// gives no card at all fails with where and why; a file that gives some cards gives them, and
// each card it skips is logged with where and why.
TEST_F(ContactStoreTest, ADamagedAddressBookSaysWhereAndWhy) {
  const std::string ann =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iPhone OS 13.4//EN\r\n"
      "N:Lee;Ann;;;\r\nFN:Ann Lee\r\nTEL;type=CELL;type=VOICE;type=pref:+1 555 0101\r\n"
      "END:VCARD\r\n";  // lines 1 to 7
  const std::string bob =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Van der Berg;Bob;;;\r\nFN:Bob Van der Berg\r\n"
      "TEL;type=HOME:+31 20 555 0102\r\nEND:VCARD\r\n";  // lines 8 to 13
  std::string utf16 = "\xFF\xFE";
  for (const char c : ann) (utf16 += c) += '\0';
  const struct {
    const char* what;
    std::string book;
    std::size_t contacts;
    const char* logged;   // the first log line holds it; nullptr: nothing is logged
    const char* failure;  // the read's reason, also logged last; nullptr: the read succeeds
  } cases[] = {
      {"an export cut short in its last card", ann + bob.substr(0, 60), 1,
       "skipped the card at line 8 of /var/mobile/Library/AddressBook/AddressBook.vcf: line 11: "
       "the file ends before END:VCARD",
       nullptr},
      {"an export of one card cut short", ann.substr(0, 70), 0, "skipped the card at line 1",
       "line 4: the file ends before END:VCARD"},
      {"the END of a card lost in a merge", ann.substr(0, ann.size() - 11) + bob, 1,
       "skipped the card at line 1 of /var/mobile/Library/AddressBook/AddressBook.vcf: line 7: "
       "BEGIN:VCARD before the card's END:VCARD",
       nullptr},
      {"a folded name whose fold an editor undid",
       "BEGIN:VCARD\nVERSION:3.0\nN:Van der Be\nrg;Wil;;;\nTEL:1\nEND:VCARD\n", 0,
       "skipped the card at line 1", "line 4: the line is not a property"},
      {"a CSV export", "First Name,Last Name,Mobile Phone\nAnn,Lee,+1 555 0101\n", 0,
       "ignored 2 lines", "line 1: outside any card (no BEGIN:VCARD)"},
      {"a UTF-16 export", utf16, 0, "ignored",
       "it is UTF-16 text; vCard files are read in UTF-8 or in the CHARSET of a value"},
      {"zeros where the file was", std::string(4096, '\0'), 0, "ignored 1 lines",
       "it is not text: it holds NUL bytes"},
      {"an empty export", "\r\n", 0, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    process_.clearLog();
    writeAddressBook(c.book);
    platform::Result<> read;
    EXPECT_THAT(readAll(&read), SizeIs(c.contacts));
    EXPECT_EQ(process_.log().empty(), c.logged == nullptr);
    if (c.logged && !process_.log().empty()) {
      EXPECT_THAT(process_.log().front(), HasSubstr(c.logged));
    }
    if (!c.failure) {
      EXPECT_THAT(read, Succeeds());
      continue;
    }
    EXPECT_THAT(read, FailsWith(c.failure));
    EXPECT_EQ(process_.log().back(),
              "Contacts: cannot read " + std::string(kAddressBookPath) + ": " + c.failure);
  }
}

TEST_F(ContactStoreTest, ThePredicateSelectsAndTheBlockCanStop) {
  std::string book;
  for (const char* uid : {"a", "b", "c", "d"}) {
    book += std::string("BEGIN:VCARD\nVERSION:3.0\nUID:") + uid + "\nEND:VCARD\n";
  }
  writeAddressBook(book);
  CNContactFetchRequest request({});
  request.setPredicate([](const CNContact& c) { return c.identifier() != "b:ABPerson"; });
  std::vector<std::string> delivered;
  EXPECT_TRUE(CNContactStore().enumerateContactsWithFetchRequest(
      request, [&](const CNContact& c, bool& stop) {
        delivered.push_back(c.identifier());
        stop = c.identifier() == "c:ABPerson";
      }));
  EXPECT_THAT(delivered, ElementsAre("a:ABPerson", "c:ABPerson"));
}

TEST(ContactStoreDeathTest, ReadingAPropertyThatWasNotFetchedStops) {
  // Made before the death, so that the surviving test removes its root.
  testing_support::TestProcess process;
  process.writeFile(kAddressBookPath, "BEGIN:VCARD\nVERSION:3.0\nUID:a\nTEL:1\nEND:VCARD\n");
  EXPECT_DEATH(
      {
        CNContactFetchRequest request({std::string(CNContactGivenNameKey)});
        // The program stops inside the block, before any result is had.
        static_cast<void>(CNContactStore().enumerateContactsWithFetchRequest(
            request, [](const CNContact& c, bool&) { static_cast<void>(c.phoneNumbers()); }));
      },
      "phoneNumbers was not fetched");
}

}  // namespace
