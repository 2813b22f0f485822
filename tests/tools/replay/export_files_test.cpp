// Exports as files: the text file, the .zip the phone's share sheet makes,
// and files that are neither, each failure naming the file.
#include <archive.h>
#include <archive_entry.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/result_matchers.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/test_files.h"
#include "tests/tools/replay/read_back.h"

namespace replay_test {
namespace {

using testing::HasSubstr;
using testing::StartsWith;
using testing_support::readFile;
using testing_support::Succeeds;
using testing_support::writeFile;

using Entries = std::vector<std::pair<std::string, std::string>>;

// A .zip holding entries, compressed as the phone compresses them.
std::string zipOf(const Entries& entries) {
  std::vector<char> buffer(1 << 20);
  std::size_t used = 0;
  archive* zip = archive_write_new();
  archive_write_set_format_zip(zip);
  archive_write_zip_set_compression_deflate(zip);
  archive_write_open_memory(zip, buffer.data(), buffer.size(), &used);
  for (const auto& [name, content] : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, name.c_str());
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, static_cast<la_int64_t>(content.size()));
    archive_write_header(zip, entry);
    archive_write_data(zip, content.data(), content.size());
    archive_entry_free(entry);
  }
  archive_write_close(zip);
  archive_write_free(zip);
  return std::string(buffer.data(), used);
}

std::string sample(const std::string& name) {
  return readFile(std::string(REPLAY_EXPORTS) + "/" + name);
}

class ExportFilesTest : public testing::Test {
 protected:
  std::filesystem::path write(const std::string& name, const std::string& bytes) const {
    const auto path = folder.path() / name;
    writeFile(path, bytes);
    return path;
  }

  testing_support::TemporaryFolder folder{"mornaq-replay"};
};

TEST_F(ExportFilesTest, ReadsTheChatInsideAZipAsTheTextFileItHolds) {
  const std::string jpeg = "\xFF\xD8\xFF\xE0 not much of a photo";
  struct Case {
    const char* zipName;
    Entries entries;
    const char* sameAs;
  };
  const Case cases[] = {
      {"WhatsApp Chat - Ann Lee.zip",
       {{"_chat.txt", sample("ios_en_gb.txt")}, {"00000012-PHOTO-2020-12-31-21-43-00.jpg", jpeg}},
       "ios_en_gb.txt"},
      // A document the chat carried is a .txt too.
      {"WhatsApp Chat with Ann Lee.zip",
       {{"IMG-20210101-WA0001.jpg", jpeg},
        {"notes.txt", "31/12/2020, 10:00 - Bob: not the chat"},
        {"WhatsApp Chat with Ann Lee.txt", sample("android_en_gb.txt")}},
       "android_en_gb.txt"},
      // Saved under another name, it is still a .zip by its first bytes.
      {"export", {{"only.txt", sample("android_de.txt")}}, "android_de.txt"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.zipName);
    const auto zipped = readBack(write(test.zipName, zipOf(test.entries)));
    const auto plain = readBack(std::string(REPLAY_EXPORTS) + "/" + test.sameAs);
    ASSERT_THAT(zipped, Succeeds());
    ASSERT_THAT(plain, Succeeds());
    EXPECT_EQ(zipped->messages, plain->messages);
  }
  const auto named = readBack(folder.path() / "WhatsApp Chat with Ann Lee.zip");
  ASSERT_THAT(named, Succeeds());
  EXPECT_EQ(named->overview.chatName, "Ann Lee");
}

TEST_F(ExportFilesTest, AFileThatCannotBeReadFailsNamingItAndWhatWentWrong) {
  const std::string zip = zipOf({{"_chat.txt", sample("ios_en_gb.txt")}});
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"Cut short.zip", zip.substr(0, zip.size() / 2), ": a damaged .zip: "},
      {"Not really.zip", "31/12/2020, 21:41 - Ann: hello", ": a damaged .zip: "},
      {"Photos.zip", zipOf({{"a.jpg", "x"}}), ": a .zip that holds no chat (no .txt file)"},
      {"Two.zip", zipOf({{"a.txt", "x"}, {"b.txt", "y"}}),
       ": a .zip that holds several .txt files, none named as a chat: a.txt, b.txt"},
      {"contacts.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nEND:VCARD\r\n",
       ": not a chat export: line 1 starts with no date and time: \"BEGIN:VCARD\""},
      {"notes.txt", "\n  \nDear diary, on 31/12/2020, 21:41 - nothing happened\n",
       ": not a chat export: line 3 starts with no date and time: \"Dear diary, on "
       "31/12/2020, 21:41 - nothing happened\""},
      {"empty.txt", "", ": not a chat export: the file is empty"},
      {"photo.jpg", "\xFF\xD8" + std::string(2 << 20, 'x'),
       ": line 1 is longer than a message of the app can be (1048576 bytes)"},
      {"endless.txt",
       "31/12/2020, 21:41 - Ann: a\n" + std::string(200'000, '\n') + std::string(1 << 20, 'x'),
       ": the message at line 1 is longer than a message of the app can be (1048576 bytes)"},
      {"mixed.txt", "13/01/2021, 10:00 - Ann: a\n01/13/2021, 10:01 - Ann: b\n",
       ": its dates do not read in one order: line 2 cannot be read day first, line 1 cannot "
       "be read month first, line 1 cannot be read year first"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const auto path = write(test.name, test.bytes);
    const auto read = readBack(path);
    ASSERT_FALSE(read.ok());
    EXPECT_THAT(read.reason(), StartsWith(path.string() + test.reason));
  }
  const auto missing = readBack(folder.path() / "gone.txt");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.reason(),
            (folder.path() / "gone.txt").string() + ": No such file or directory");
}

}  // namespace
}  // namespace replay_test
