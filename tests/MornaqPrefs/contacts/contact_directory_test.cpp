#include "MornaqPrefs/contacts/contact_directory.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/landed_contact_scan.h"
#include "platform/text/text.h"
#include "tests/support/test_process.h"

namespace {

using namespace platform::contacts;
using mornaqprefs::dOfPerson;
using mornaqprefs::OrderedDictionary;
using mornaqprefs::scanContacts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

std::vector<std::string> rowKeys(const OrderedDictionary& sorted) { return sorted.allKeys(); }

struct NameCase {
  const char* what;
  std::optional<std::string> given;
  std::optional<std::string> family;
  std::vector<std::string> phones;
  const char* displayName;
};

TEST(DisplayNameTest, ComesFromTheNamesOrElseTheLastPhoneNumber) {
  const NameCase cases[] = {
      {"given and family", "Alice", "Smith", {"1"}, "Alice Smith"},
      {"family only, given absent", std::nullopt, "Smith", {"1"}, "Smith"},
      {"family only, given empty", "", "Smith", {"1"}, " Smith"},
      {"given only, family absent", "Alice", std::nullopt, {"1"}, "Alice"},
      {"given only, family empty", "Alice", "", {"1"}, "Alice "},
      {"no names at all", std::nullopt, std::nullopt, {"+1 555 0100"}, "+1 555 0100"},
      {"empty names: the last non-empty number", "", "", {"", "+44 20", ""}, "+44 20"},
      {"blanks and tabs count as empty", " ", "\t", {"1", "2"}, "2"},
      {"so does a no-break space", "\u00a0", std::nullopt, {"3"}, "3"},
      {"names keep their blanks", " Al ", "Lee ", {"1"}, " Al  Lee "},
      {"blank names and empty numbers", " ", "", {"", ""}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CNContactData data{.identifier = "x:ABPerson", .givenName = c.given, .familyName = c.family};
    for (const auto& phone : c.phones)
      data.phoneNumbers.push_back({std::nullopt, CNPhoneNumber(phone)});
    EXPECT_EQ(mornaqprefs::displayName(CNContact(data)), c.displayName);
  }
}

class ContactDirectoryTest : public ::testing::Test {
 protected:
  struct Card {
    std::string uid;
    std::string n;  // the N value; empty: no N
    std::vector<std::string> phones;
  };

  void writeAddressBook(const std::vector<Card>& cards) {
    std::string text;
    for (const auto& card : cards) {
      text += "BEGIN:VCARD\nVERSION:3.0\nUID:" + card.uid + "\n";
      if (!card.n.empty()) text += "N:" + card.n + "\n";
      for (const auto& phone : card.phones) text += "TEL:" + phone + "\n";
      text += "END:VCARD\n";
    }
    process_.writeFile(kAddressBookPath, text);
  }

  static std::vector<std::pair<std::string, std::string>> rows(const OrderedDictionary& sorted) {
    std::vector<std::pair<std::string, std::string>> result;
    for (const auto& key : sorted.allKeys()) {
      result.emplace_back(key, *sorted.objectForKey(key).string());
    }
    return result;
  }

  testing_support::TestProcess process_{"com.apple.Preferences"};
};

TEST_F(ContactDirectoryTest, ListsEveryContactWithAPhoneNumberUnderItsContactKey) {
  writeAddressBook({
      {"id-1", "Smith;Alice;;;", {"+1 555 0100"}},
      {"id-2", "Nobody;Phone;;;", {}},
      {"a:ABPersonb", "Odd;Key;;;", {"2"}},
  });
  const auto sorted = scanContacts();
  EXPECT_THAT(dOfPerson(), ElementsAre(Pair("ab", platform::Value("Key Odd")),
                                       Pair("id-1", platform::Value("Alice Smith"))));
  EXPECT_THAT(rows(sorted), ElementsAre(Pair("id-1", "Alice Smith"), Pair("ab", "Key Odd")));
}

TEST_F(ContactDirectoryTest, SortsByNameIgnoringCaseAndByTheLocale) {
  writeAddressBook({
      {"1", "Carol;;;;", {"1"}},
      {"2", "bob;;;;", {"1"}},
      {"3", "Alice;;;;", {"1"}},
      {"4", "Émile;;;;", {"1"}},
      {"5", "eve;;;;", {"1"}},
      {"6", "Bob;;;;", {"1"}},  // equal to "bob" but for case: a fixed order
  });
  EXPECT_THAT(rows(scanContacts()),
              ElementsAre(Pair("3", " Alice"), Pair("6", " Bob"), Pair("2", " bob"),
                          Pair("1", " Carol"), Pair("4", " Émile"), Pair("5", " eve")));
}

TEST_F(ContactDirectoryTest, ClashingNamesTakeTheFirstFreeSuffixOncePerContact) {
  writeAddressBook({
      {"1", "Bob;;;;", {"1", "2", "3"}},  // several numbers: still one name
      {"2", "Bob;;;;", {"4"}},
      {"3", "Bob;;;;", {"5", "6"}},
      {"4", "Bob-2;;;;", {"7"}},  // its own name is taken by the suffixed one
      {"5", "Bob;;;;", {"8"}},
  });
  scanContacts();
  EXPECT_THAT(
      dOfPerson(),
      ElementsAre(Pair("1", platform::Value(" Bob")), Pair("2", platform::Value(" Bob-2")),
                  Pair("3", platform::Value(" Bob-3")), Pair("4", platform::Value(" Bob-2-2")),
                  Pair("5", platform::Value(" Bob-4"))));
}

TEST_F(ContactDirectoryTest, ASuffixSkipsNamesThatRealContactsAlreadyHave) {
  writeAddressBook({
      {"1", "-2;Bob;;;", {"1"}},  // "Bob -2"
      {"2", ";Bob;;;", {"1"}},    // "Bob "
      {"3", ";Bob;;;", {"1"}},
  });
  scanContacts();
  EXPECT_THAT(dOfPerson(),
              ElementsAre(Pair("1", platform::Value("Bob -2")), Pair("2", platform::Value("Bob ")),
                          Pair("3", platform::Value("Bob -3"))));
}

TEST_F(ContactDirectoryTest, NoContactDisappearsFromTheSortedList) {
  std::vector<Card> cards;
  for (int i = 0; i < 50; ++i)
    cards.push_back({std::to_string(i), i % 2 ? "Kim;;;;" : ";Kim;;;", {"1"}});
  writeAddressBook(cards);
  const auto sorted = scanContacts();
  EXPECT_EQ(sorted.count(), 50u);
  EXPECT_EQ(dOfPerson().size(), 50u);
}

TEST_F(ContactDirectoryTest, SortedDictionaryKeepsEveryKeyEvenWhenNamesRepeat) {
  const platform::Dictionary directory{{"k1", "Sam"}, {"k2", "sam"}, {"k3", "Sam"}, {"k0", "Al"}};
  EXPECT_THAT(
      rows(mornaqprefs::sortedDictionary(directory)),
      ElementsAre(Pair("k0", "Al"), Pair("k1", "Sam"), Pair("k3", "Sam"), Pair("k2", "sam")));
}

TEST_F(ContactDirectoryTest, EachScanReplacesTheDirectory) {
  writeAddressBook({{"1", "A;;;;", {"1"}}, {"2", "B;;;;", {"1"}}});
  scanContacts();
  writeAddressBook({{"3", "C;;;;", {"1"}}});
  const auto sorted = scanContacts();
  EXPECT_THAT(dOfPerson(), ElementsAre(Pair("3", platform::Value(" C"))));
  EXPECT_EQ(sorted.count(), 1u);
}

TEST_F(ContactDirectoryTest, AMissingAddressBookGivesAnEmptyDirectory) {
  writeAddressBook({{"1", "A;;;;", {"1"}}});
  scanContacts();
  std::filesystem::remove(process_.hostPath(kAddressBookPath));
  EXPECT_EQ(scanContacts().count(), 0u);
  EXPECT_THAT(dOfPerson(), IsEmpty());
}

TEST_F(ContactDirectoryTest, TwoIdentifiersWithOneContactKeyKeepTheFirstRow) {
  writeAddressBook({{"x:ABPerson", "First;;;;", {"1"}}, {"x", "Second;;;;", {"1"}}});
  // The line that says so: the Settings app's transcript.
  EXPECT_THAT(rows(scanContacts()), ElementsAre(Pair("x", " First")));
}

// The order a collator call per comparison gives: what the sort must match.
std::vector<std::string> sortedByCollator(const platform::Dictionary& directory) {
  const platform::text::NameCollator collator;
  std::vector<std::pair<std::string, std::string>> entries;
  for (const auto& [key, value] : directory) entries.emplace_back(value.description(), key);
  std::ranges::sort(entries, [&collator](const auto& a, const auto& b) {
    if (const int order = collator.compare(a.first, b.first); order != 0) return order < 0;
    return a < b;
  });
  std::vector<std::string> keys;
  for (const auto& entry : entries) keys.push_back(entry.second);
  return keys;
}

TEST_F(ContactDirectoryTest, AgreesWithTheLandedScanOnGeneratedAddressBooks) {
  // Few names, so that most clash, among them names that look like suffixed
  // ones; blank names that fall back to a number; contacts without numbers;
  // identifiers that share a contact key.
  const std::vector<std::string> names = {"Bob;;;;", "Bob-2;;;;",    "Bob-2-2;;;;",     ";Bob;;;",
                                          "bob;;;;", "Smith;Ann;;;", "Ann Smith-3;;;;", " ;\t;;;",
                                          "",        "Émile;;;;",    "Bob-3;Ann;;;"};
  std::mt19937 random(5);
  for (int round = 0; round < 30; ++round) {
    std::vector<Card> cards;
    for (int i = 0; i < 120; ++i) {
      std::vector<std::string> phones;
      for (std::size_t n = random() % 3; n > 0; --n)
        phones.push_back(fmt::format("{}", random() % 9));
      const std::string uid = fmt::format("{}{}", random() % 100, random() % 8 ? "" : ":ABPerson");
      cards.push_back({uid, names[random() % names.size()], phones});
    }
    writeAddressBook(cards);
    const auto [landedDirectory, landedSorted] = landed::scanContacts();
    const auto sorted = scanContacts();
    EXPECT_EQ(dOfPerson(), landedDirectory);
    EXPECT_EQ(rows(sorted), rows(landedSorted));
  }
}

TEST(SortedDictionaryTest, AgreesWithACollatorCallPerComparisonOnGeneratedDirectories) {
  // Pieces that collate close together: case and accent variants, long
  // common prefixes (past the 16 bytes of a key held inline), blanks, digits.
  const std::vector<std::string> pieces = {"a",
                                           "A",
                                           "á",
                                           "Å",
                                           "ae",
                                           "æ",
                                           "b",
                                           "B",
                                           "é",
                                           "e",
                                           "E",
                                           "ß",
                                           "ss",
                                           "o",
                                           "ø",
                                           "Ö",
                                           " ",
                                           "-",
                                           "2",
                                           "10",
                                           "Alexandria Montgomery-",
                                           "alexandria montgomery ",
                                           "中",
                                           "Я",
                                           "ﬁ"};
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    platform::Dictionary directory;
    for (int i = 0; i < 200; ++i) {
      std::string name;
      for (std::size_t n = random() % 5; n > 0; --n) name += pieces[random() % pieces.size()];
      directory[fmt::format("k{}", random() % 1000)] = name;
    }
    directory["number"] = 7;  // a value that is no text sorts by its description
    EXPECT_EQ(rowKeys(mornaqprefs::sortedDictionary(directory)), sortedByCollator(directory));
  }
}

}  // namespace
