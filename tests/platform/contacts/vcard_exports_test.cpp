// Address books as phones and mail programs export them, and the same
// address book whatever its line ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/contacts/vcard_reader.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

namespace {

using namespace platform::contacts;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// What a card gave, for comparison: names, then each phone as "TYPE=number".
struct Read {
  std::optional<std::string> formattedName;
  std::optional<std::vector<std::string>> name;
  std::vector<std::string> phones;
  std::optional<std::string> uid;
  std::uint64_t contentHash;
  bool operator==(const Read&) const = default;
};

void PrintTo(const Read& read, std::ostream* out) {
  *out << "FN=" << read.formattedName.value_or("(absent)") << " N=";
  for (const auto& part : read.name.value_or(std::vector<std::string>{})) *out << part << ";";
  for (const auto& phone : read.phones) *out << " TEL " << phone;
}

// The cards read; whether a file that gives none fails is the contact store's tests' subject.
std::vector<Read> readAll(std::string_view text) {
  std::vector<Read> result;
  static_cast<void>(forEachVCard(text, "book.vcf", [&result](const VCard& card) {
    Read read{card.formattedName, card.name, {}, card.uid, card.contentHash};
    for (const auto& phone : card.phones) {
      read.phones.push_back(phone.type.value_or("") + "=" + phone.number);
    }
    result.push_back(std::move(read));
  }));
  return result;
}

std::string fixture(const std::string& name) {
  return testing_support::readFile(std::string(CONTACTS_FIXTURES) + "/" + name);
}

using Names = std::vector<std::string>;

struct Contact {
  const char* formattedName;
  Names name;
  std::vector<std::string> phones;
};

struct ExportCase {
  const char* file;
  std::vector<Contact> contacts;
};

TEST(VCardExportsTest, ReadsTheAddressBooksThatPhonesAndMailProgramsWrite) {
  const ExportCase cases[] = {
      {"android_2.1.vcf",
       {{"Jürgen Groß-Lindemann",
         {"Groß-Lindemann", "Jürgen", "", "", ""},
         {"CELL,PREF=+49 151 23456789", "HOME=030 1234567"}},
        {"Chidi Okafor",
         {"Okafor", "Chidi", "", "", ""},
         {"WORK,VOICE=+234 803 555 0142", "CELL=+234 805 555 0199"}},
        {"王小明", {"王", "小明", "", "", ""}, {"CELL=138 0013 8000"}}}},
      {"blackberry_2.1.vcf",
       {{"Amélie Lefèvre",
         {"Lefèvre", "Amélie"},
         {"WORK,VOICE=+33 1 42 14 20 00", "CELL=+33 6 12 34 56 78"}}}},
      {"outlook_2.1.vcf",
       {{"Seán O’Brien",
         {"O’Brien", "Seán"},
         {"WORK,VOICE=(425) 555-0100", "CELL,VOICE=(425) 555-0199"}}}},
      {"gmail_3.0.vcf",
       {{"Priya Raman",
         {"Raman", "Priya", "", "", ""},
         {"CELL=+91 98765 43210", "=+91 80 4567 8901"}},
        {"", {"", "", "", "", ""}, {"CELL=+1 650-253-0000"}}}},
      {"macos_3.0.vcf",
       {{"Björn Åström",
         {"Åström", "Björn", "", "", ""},
         {"pref=+46 8 123 456 78", "WORK,VOICE=+46 8 765 432 10"}},
        {"Blue Bottle Café", {"", "", "", "", ""}, {"WORK,VOICE,pref=+1 510 653 3394"}}}},
      {"iphone_3.0_crcrlf.vcf",
       {{"Layla Haddad",
         {"Haddad", "Layla", "", "", ""},
         {"pref=+961 3 123 456", "HOME,VOICE=+961 1 987 654"}},
        {"Kenji Nakamura",
         {"Nakamura", "Kenji", "", "", ""},
         {"CELL,VOICE,pref=+81 90-1234-5678"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    testing_support::TestProcess process;
    const auto read = readAll(fixture(c.file));
    ASSERT_EQ(read.size(), c.contacts.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(read[i].formattedName, c.contacts[i].formattedName);
      EXPECT_EQ(read[i].name, c.contacts[i].name);
      EXPECT_EQ(read[i].phones, c.contacts[i].phones);
    }
    EXPECT_THAT(process.log(), IsEmpty());
  }
}

// The file with every line end replaced by one of ends, chosen at random.
std::string withLineEnds(std::string_view text, const std::vector<std::string>& ends,
                         std::mt19937& random) {
  std::string result;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    result.append(text.substr(start, end - start));
    result.append(ends[random() % ends.size()]);
    start = text.find_first_not_of('\r', end);
    if (start != std::string_view::npos && start < text.size() && text[start] == '\n') ++start;
    if (start == std::string_view::npos) break;
  }
  return result;
}

TEST(VCardExportsTest, LineEndsChangeNothingNotEvenTheContentHash) {
  const std::vector<std::vector<std::string>> styles = {
      {"\n"}, {"\r\n"}, {"\r"}, {"\r\r\n"}, {"\n", "\r\n", "\r", "\r\r\n", "\r\r\r\n"}};
  std::mt19937 random(7);
  for (const char* file : {"android_2.1.vcf", "blackberry_2.1.vcf", "outlook_2.1.vcf",
                           "gmail_3.0.vcf", "macos_3.0.vcf", "iphone_3.0_crcrlf.vcf"}) {
    SCOPED_TRACE(file);
    testing_support::TestProcess process;
    const auto text = fixture(file);
    const auto expected = readAll(text);
    for (const auto& ends : styles) {
      for (int round = 0; round < 5; ++round) {
        EXPECT_THAT(readAll(withLineEnds(text, ends, random)), ElementsAreArray(expected));
      }
    }
    EXPECT_THAT(process.log(), IsEmpty());
  }
}

struct ValueCase {
  const char* what;
  std::string card;  // the lines between VERSION and END:VCARD
  const char* version;
  Names name;          // N; empty: the card is skipped
  const char* logged;  // the log line when skipped
};

TEST(VCardExportsTest, DecodesValuesAsTheirParametersSay) {
  const ValueCase cases[] = {
      {"2.1 folding keeps the blank",
       "N:Van der\n Berg;Wil\n helmina\n",
       "2.1",
       {"Van der Berg", "Wil helmina"},
       ""},
      {"3.0 folding drops it",
       "N:Van der\n Berg;Wil\n helmina\n",
       "3.0",
       {"Van derBerg", "Wilhelmina"},
       ""},
      {"quoted-printable soft break inside a component",
       "N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:M=C3=BC=\nller;J=\n=C3=B6rg\n",
       "2.1",
       {"Müller", "Jörg"},
       ""},
      {"bare QUOTED-PRINTABLE, lower-case hex, a stray =",
       "N;QUOTED-PRINTABLE:a=3db=zz\n",
       "2.1",
       {"a=b=zz"},
       ""},
      {"an encoded semicolon is text, not a separator",
       "N;ENCODING=QUOTED-PRINTABLE:A=3BB;C\n",
       "2.1",
       {"A;B", "C"},
       ""},
      {"ISO-8859-1 bytes", "N;CHARSET=ISO-8859-1:Jos\xE9\n", "2.1", {"José"}, ""},
      {"ISO-8859-1 label with a Windows-1252 euro",
       "N;CHARSET=iso-8859-1:\x80uro\n",
       "2.1",
       {"€uro"},
       ""},
      {"KOI8-R", "N;CHARSET=KOI8-R:\xe9\xd7\xc1\xce\n", "2.1", {"Иван"}, ""},
      {"Shift_JIS through quoted-printable",
       "N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=93=FA\n",
       "2.1",
       {"日"},
       ""},
      {"2.1 without a charset: UTF-8 when it is", "N:Zo\xC3\xAB\n", "2.1", {"Zoë"}, ""},
      {"2.1 without a charset: else Windows-1252", "N:Zo\xEB\n", "2.1", {"Zoë"}, ""},
      {"3.0 without a charset must be UTF-8",
       "N:Zo\xEB\n",
       "3.0",
       {},
       "line 3: the text is not UTF-8"},
      {"CHARSET=UTF-8 that is not",
       "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=FF\n",
       "2.1",
       {},
       "line 3: the text is not UTF-8"},
      {"an unknown charset",
       "N;CHARSET=X-NOPE:a\n",
       "2.1",
       {},
       "line 3: the charset X-NOPE is not supported"},
      {"grouped, quoted charset", "a.N;CHARSET=\"UTF-8\":Lee\n", "3.0", {"Lee"}, ""},
      {"a value ending in = is continued only when quoted-printable",
       "N:Lee=\nFN:Ann Lee\n",
       "3.0",
       {"Lee="},
       ""},
      {"a grouped END property does not end the card",
       "BEGINX.END:VCARD\nN:Lee\n",
       "3.0",
       {"Lee"},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing_support::TestProcess process;
    const auto read =
        readAll(std::string("BEGIN:VCARD\nVERSION:") + c.version + "\n" + c.card + "END:VCARD\n");
    if (c.name.empty()) {
      EXPECT_THAT(read, IsEmpty());
      EXPECT_THAT(process.log(), ElementsAre(HasSubstr(c.logged)));
    } else {
      ASSERT_EQ(read.size(), 1u);
      EXPECT_EQ(read[0].name, c.name);
      EXPECT_THAT(process.log(), IsEmpty());
    }
  }
}

}  // namespace
