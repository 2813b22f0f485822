#include "platform/foundation/plist_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/file_io.h"
#include "platform/foundation/plist_codec.h"
#include "tests/support/result_matchers.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/test_process.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using platform::Array;
using platform::Data;
using platform::Date;
using platform::Dictionary;
using platform::readPlist;
using platform::readPlistIfPresent;
using platform::updatePlist;
using platform::Value;
using testing::ElementsAre;
using testing::IsEmpty;
using testing_support::FailsWith;
using testing_support::Holds;

constexpr std::string_view kSettings = "/var/mobile/Library/Preferences/com.example.settings.plist";

bool addKey(Dictionary& settings) {
  settings.insert_or_assign("added", true);
  return true;
}

class PlistFileTest : public ::testing::Test {
 protected:
  fs::path host(std::string_view devicePath) const { return test.hostPath(devicePath); }

  // Everything in the settings file's folder but the file itself and its lock file.
  std::vector<std::string> strayFiles() const {
    std::vector<std::string> names;
    const auto file = host(kSettings);
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
      const auto name = entry.path().filename().string();
      if (name != file.filename() && name != file.filename().string() + ".lock") {
        names.push_back(name);
      }
    }
    return names;
  }

  testing_support::TestProcess test;
};

TEST_F(PlistFileTest, ReadsOnlyDictionariesFromFilesThatParse) {
  const Dictionary settings{{"enabled", true}, {"name", "x"}};
  const struct {
    const char* what;
    std::optional<std::string> bytes;    // nullopt: no file at all
    std::optional<Dictionary> expected;  // nullopt: the read fails with reason
    const char* reason;
  } cases[] = {
      {"missing", std::nullopt, std::nullopt, "could not read it: No such file or directory"},
      {"an XML dictionary", platform::serializePropertyList(settings), settings, ""},
      {"an array at the root", platform::serializePropertyList(Array{1}), std::nullopt,
       "its root is not a dictionary"},
      {"malformed", "<plist><dict>", std::nullopt, "line 1: <dict> not closed"},
      {"empty", "", std::nullopt, "it is empty"},
  };
  for (const auto& c : cases) {
    fs::remove(host(kSettings));
    if (c.bytes) test.writeFile(kSettings, *c.bytes);
    if (c.expected) {
      EXPECT_THAT(readPlistIfPresent(kSettings), Holds(*c.expected)) << c.what;
    } else {
      EXPECT_THAT(readPlistIfPresent(kSettings), FailsWith(c.reason)) << c.what;
    }
    EXPECT_EQ(readPlist(kSettings), c.expected.value_or(Dictionary{})) << c.what;
  }
  // What tells a missing file apart from a broken one.
  fs::remove(host(kSettings));
  EXPECT_EQ(readPlistIfPresent(kSettings).failure().code, std::errc::no_such_file_or_directory);
}

TEST_F(PlistFileTest, ReadsNothingFromPathsThatAreNotFilesInsideTheRoot) {
  fs::create_directories(host(kSettings));
  EXPECT_THAT(readPlistIfPresent(kSettings), FailsWith("could not read it: Is a directory"));
  for (const char* outside : {"relative.plist", "/var/../../outside.plist"}) {
    EXPECT_THAT(readPlistIfPresent(outside), FailsWith("the path is not inside the device root"));
  }
}

TEST_F(PlistFileTest, UpdateCreatesTheFileAndItsFoldersInApplesXmlFormat) {
  const std::string path = "/var/mobile/Library/Preferences/new/folders/x.plist";
  EXPECT_TRUE(updatePlist(path, addKey));
  EXPECT_EQ(readPlist(path), (Dictionary{{"added", true}}));
  EXPECT_TRUE(test.readFile(path).starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  EXPECT_THAT(test.log(), IsEmpty());
}

TEST_F(PlistFileTest, UpdateKeepsEveryOtherKeyOfAnyType) {
  const Dictionary original{
      {"someone.elses", Dictionary{{"data", Data{{1, 2}}}, {"when", Date{86'400}}}},
      {"big", platform::Unsigned{18'446'744'073'709'551'615u}},
      {"list", Array{-1, 0.5, "x"}},
  };
  test.writeFile(kSettings, platform::serializePropertyList(original));
  ASSERT_TRUE(updatePlist(kSettings, addKey));
  Dictionary expected = original;
  expected.insert_or_assign("added", true);
  EXPECT_EQ(readPlist(kSettings), expected);
  EXPECT_THAT(strayFiles(), IsEmpty());
}

TEST_F(PlistFileTest, UpdateMovesAMalformedFileAsideAndSaysWhere) {
  for (const auto* junk : {"first junk", "second junk"}) {
    test.writeFile(kSettings, junk);
    EXPECT_TRUE(updatePlist(kSettings, addKey));
    EXPECT_EQ(readPlist(kSettings), (Dictionary{{"added", true}}));
  }
  EXPECT_EQ(test.readFile(std::string(kSettings) + ".malformed-1"), "first junk");
  EXPECT_EQ(test.readFile(std::string(kSettings) + ".malformed-2"), "second junk");
  const std::string moved = "moved unreadable settings file " + std::string(kSettings) +
                            " aside to " + std::string(kSettings);
  const std::string notXml = "is not XML; property lists are read as XML or binary";
  EXPECT_THAT(test.log(), ElementsAre(moved + ".malformed-1: line 1: \"first junk\" " + notXml,
                                      moved + ".malformed-2: line 1: \"second junk\" " + notXml));
}

// A settings file as the add-on writes it, a line a string.
const std::vector<std::string> kSettingsLines{
    R"(<?xml version="1.0" encoding="UTF-8"?>)",
    R"(<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" )"
    R"("http://www.apple.com/DTDs/PropertyList-1.0.dtd">)",
    R"(<plist version="1.0">)",
    "<dict>",
    "\t<key>customReplyGlob</key>",
    "\t<string>In a meeting, back soon</string>",
    "\t<key>customReplyGlobDelay</key>",
    "\t<string>5</string>",
    "\t<key>isGlobalEnabled</key>",
    "\t<true/>",
    "\t<key>isTweakEnabled</key>",
    "\t<true/>",
    "\t<key>u1</key>",
    "\t<dict>",
    "\t\t<key>customReply</key>",
    "\t\t<string>Hi Ann</string>",
    "\t\t<key>isContactEnabled</key>",
    "\t\t<true/>",
    "\t</dict>",
    "</dict>",
    "</plist>",
};

// The file with line n (from 1) replaced by the lines given, none to remove it.
std::string settingsWith(std::size_t n, const std::vector<std::string>& replacement) {
  auto lines = kSettingsLines;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(n - 1));
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(n - 1), replacement.begin(),
               replacement.end());
  std::string text;
  for (const auto& line : lines) (text += line) += '\n';
  return text;
}

// The file cut after the first `kept` bytes of line n.
std::string settingsCut(std::size_t n, std::size_t kept) {
  std::string text;
  for (std::size_t i = 0; i + 1 < n; ++i) (text += kSettingsLines[i]) += '\n';
  return text + kSettingsLines[n - 1].substr(0, kept);
}

// Damage as it happens to real files: a copy or a write cut short, a hand edit gone wrong, a file
// saved by another program, a block of zeros after a crash. Each read says where and why, and an
// update moves the file aside saying the same.
TEST_F(PlistFileTest, ADamagedFileSaysWhereAndWhyWhenReadAndWhenMovedAside) {
  std::string utf16 = "\xFF\xFE";
  for (const char c : settingsWith(1, {kSettingsLines[0]})) (utf16 += c) += '\0';
  const struct {
    const char* what;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"cut after a line", settingsCut(17, 100), "line 14: <dict> not closed"},
      {"cut inside a text", settingsCut(15, 12), "line 15: <key> not closed"},
      {"cut inside a tag", settingsCut(17, 27), "line 17: tag \"</ke\" not closed by \">\""},
      {"a bare \"&\" typed into a reply", settingsWith(6, {"\t<string>Tom & Jerry</string>"}),
       "line 6: \"& Jerry\" begins no character reference (an \"&\" is written \"&amp;\")"},
      {"a bare \"<\" typed into a reply", settingsWith(6, {"\t<string>1 < 2</string>"}),
       "line 6: \"<\" begins no element (a \"<\" is written \"&lt;\")"},
      {"an end tag misspelled", settingsWith(16, {"\t\t<string>Hi Ann</strin>"}),
       "line 16: <string> not closed before </strin> on line 16"},
      {"an end tag lost", settingsWith(16, {"\t\t<string>Hi Ann"}),
       "line 17: <key> inside <string>"},
      {"an element misspelled", settingsWith(10, {"\t<ture/>"}), "line 10: unknown element <ture>"},
      {"a key deleted", settingsWith(9, {}), "line 9: <true> in a <dict> without its <key>"},
      {"a value deleted", settingsWith(8, {}), "line 8: <key> after a <key> that has no value"},
      {"a second value for a key", settingsWith(7, {"\t<string>again</string>"}),
       "line 7: <string> in a <dict> without its <key>"},
      {"an empty file", "", "it is empty"},
      {"zeros where the file was", std::string(4096, '\0'),
       "line 1: "
       "\"\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x0"
       "0\\x00\\x00"
       "\\x00\\x00\\x00\\x00...\" is not XML; property lists are read as XML or binary"},
      {"saved as UTF-16", utf16, "line 1: it is UTF-16 text; property lists are read in UTF-8"},
      {"an old-style text list", "{\n    isTweakEnabled = 1;\n}\n",
       "line 1: \"{\" is not XML; property lists are read as XML or binary"},
  };
  const std::string moved = "moved unreadable settings file " + std::string(kSettings) +
                            " aside to " + std::string(kSettings) + ".malformed-";
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test.writeFile(kSettings, c.bytes);
    EXPECT_THAT(readPlistIfPresent(kSettings), FailsWith(c.reason));
    test.clearLog();
    ASSERT_TRUE(updatePlist(kSettings, addKey));
    EXPECT_THAT(test.log(), ElementsAre(moved + std::to_string(++n) + ": " + c.reason));
  }
}

TEST_F(PlistFileTest, OnlyTheThreeNewestMovedAsideCopiesAreKept) {
  for (int i = 1; i <= 5; ++i) {
    test.writeFile(kSettings, "junk " + std::to_string(i));
    ASSERT_TRUE(updatePlist(kSettings, addKey));
  }
  EXPECT_THAT(strayFiles(),
              testing::UnorderedElementsAre("com.example.settings.plist.malformed-3",
                                            "com.example.settings.plist.malformed-4",
                                            "com.example.settings.plist.malformed-5"));
  EXPECT_EQ(test.readFile(std::string(kSettings) + ".malformed-5"), "junk 5");
}

// Writers killed between making their temporary file and renaming it leave it behind; the next
// update, holding the lock every writer holds, removes it and nothing else.
TEST_F(PlistFileTest, AnUpdateRemovesTemporaryFilesOfWritersThatDied) {
  const std::string folder = std::string(kSettings.substr(0, kSettings.rfind('/') + 1));
  const std::string dead[] = {".com.example.settings.plist.a1B2c3",
                              ".com.example.settings.plist.ZZZZZZ"};
  const std::string kept[] = {".com.example.settings.plist.short", ".com.other.plist.a1B2c3",
                              "com.example.settings.plist.malformed-1"};
  for (const auto& name : dead) test.writeFile(folder + name, "half a file");
  for (const auto& name : kept) test.writeFile(folder + name, "someone else's");
  ASSERT_TRUE(updatePlist(kSettings, addKey));
  EXPECT_THAT(strayFiles(), testing::UnorderedElementsAreArray(kept));
}

TEST_F(PlistFileTest, AChangeThatDeclinesWritesNothing) {
  const auto decline = [](Dictionary& settings) {
    settings.insert_or_assign("ignored", 1);
    return false;
  };
  EXPECT_TRUE(updatePlist(kSettings, decline));
  EXPECT_FALSE(fs::exists(host(kSettings)));

  const std::string original = platform::serializePropertyList(Dictionary{{"kept", 1}});
  test.writeFile(kSettings, original);
  EXPECT_TRUE(updatePlist(kSettings, decline));
  EXPECT_EQ(test.readFile(kSettings), original);
}

TEST_F(PlistFileTest, UpdateOfAFolderFailsAndLeavesItAlone) {
  fs::create_directories(host(kSettings) / "inside");
  const auto written = updatePlist(kSettings, addKey);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.reason(), "could not read it: Is a directory");
  EXPECT_TRUE(fs::is_directory(host(kSettings) / "inside"));
  // The caller logs a failure its own way.
  EXPECT_THAT(test.log(), IsEmpty());
}

TEST_F(PlistFileTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string original = platform::serializePropertyList(Dictionary{{"kept", 1}});
  test.writeFile(kSettings, original);
  // A file size limit makes the write itself fail, even for root.
  rlimit previousLimit{};
  getrlimit(RLIMIT_FSIZE, &previousLimit);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = previousLimit;
  limit.rlim_cur = original.size() + 10;
  setrlimit(RLIMIT_FSIZE, &limit);

  const auto written = updatePlist(kSettings, [](Dictionary& settings) {
    settings.insert_or_assign("long", std::string(1000, 'x'));
    return true;
  });

  setrlimit(RLIMIT_FSIZE, &previousLimit);
  std::signal(SIGXFSZ, previousHandler);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.reason(), "File too large");
  EXPECT_EQ(test.readFile(kSettings), original);
  EXPECT_THAT(strayFiles(), IsEmpty());
  EXPECT_THAT(test.log(), IsEmpty());
}

TEST_F(PlistFileTest, UpdateOutsideTheRootFails) {
  const auto written = updatePlist("relative.plist", addKey);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.reason(), "the path is not inside the device root");
  EXPECT_THAT(test.log(), IsEmpty());
}

TEST_F(PlistFileTest, SeedingCreatesOnlyAMissingFileWithTheSeedsBytes) {
  constexpr std::string_view kSeed = "/Library/Seeds/seed.plist";
  const std::string seedBytes = "<?xml version=\"1.0\"?>\n<plist><dict/></plist>\n  not parsed";
  const struct {
    const char* what;
    std::optional<std::string> seed, existing;  // nullopt: no such file
    std::optional<bool> created;                // nullopt: a failure
    std::optional<std::string> expected;        // the file afterwards
  } cases[] = {
      {"missing file", seedBytes, std::nullopt, true, seedBytes},
      {"existing file", seedBytes, "mine", false, "mine"},
      {"missing seed", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {"missing seed, existing file", std::nullopt, "mine", false, "mine"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(test.root());
    if (c.seed) test.writeFile(kSeed, *c.seed);
    if (c.existing) test.writeFile(kSettings, *c.existing);
    const auto seeded = platform::seedPlistIfMissing(kSettings, kSeed);
    EXPECT_EQ(seeded.ok(), c.created.has_value());
    if (seeded && c.created) {
      EXPECT_EQ(*seeded, *c.created);
    }
    EXPECT_EQ(fs::exists(host(kSettings)), c.expected.has_value());
    if (c.expected) {
      EXPECT_EQ(test.readFile(kSettings), *c.expected);
      EXPECT_THAT(strayFiles(), IsEmpty());
    }
  }
  EXPECT_THAT(test.log(), IsEmpty());
}

TEST_F(PlistFileTest, SeedingWaitsForAnUpdateAndKeepsWhatItWrote) {
  constexpr std::string_view kSeed = "/Library/Seeds/seed.plist";
  test.writeFile(kSeed, "seed");
  fs::create_directories(host(kSettings).parent_path());
  std::optional<platform::ExclusiveFileLock> update(
      platform::lockExclusively(host(kSettings).string() + ".lock").value());
  std::optional<platform::Result<bool>> seeded;
  std::thread seeding([&] {
    platform::ProcessScope scope(test.process());
    seeded = platform::seedPlistIfMissing(kSettings, kSeed);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(fs::exists(host(kSettings)));  // it waits for the lock
  test.writeFile(kSettings, "written meanwhile");
  update.reset();
  seeding.join();

  ASSERT_TRUE(seeded && seeded->ok());
  EXPECT_FALSE(**seeded);
  EXPECT_EQ(test.readFile(kSettings), "written meanwhile");
}

pid_t startHelper(const fs::path& root, const std::string& prefix, int count) {
  const std::string helper = PLIST_UPDATE_HELPER, rootText = root.string(),
                    countText = std::to_string(count);
  std::vector<char*> arguments{
      const_cast<char*>(helper.c_str()), const_cast<char*>(rootText.c_str()),
      const_cast<char*>(prefix.c_str()), const_cast<char*>(countText.c_str()), nullptr};
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, helper.c_str(), nullptr, nullptr, arguments.data(), environ), 0);
  return pid;
}

int exitCodeOf(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Every update flushes to disk twice; in memory (tmpfs), where that costs nothing, the test runs
// in a second instead of half a minute. It is about the lock, not about durability.
fs::path raceParent() {
  const fs::path memory = "/dev/shm";
  return fs::is_directory(memory) ? memory : fs::temp_directory_path();
}

TEST(PlistFileRaceTest, TwoProcessesUpdatingAtOnceLoseNoChange) {
  const testing_support::TemporaryFolder folder("mornaq-plist-race", raceParent());
  const fs::path& root = folder.path();
  testing_support::TestProcess test("com.example.test", root);
  constexpr int kEach = 500;
  const pid_t first = startHelper(root, "a", kEach);
  const pid_t second = startHelper(root, "b", kEach);
  const int firstExit = exitCodeOf(first), secondExit = exitCodeOf(second);
  const Dictionary settings = readPlist("/var/mobile/Library/Preferences/race.plist");

  ASSERT_EQ(firstExit, 0);
  ASSERT_EQ(secondExit, 0);
  EXPECT_EQ(settings.size(), 2u * kEach);
  for (int i = 0; i < kEach; ++i) {
    EXPECT_EQ(platform::lookUp(settings, "a" + std::to_string(i)), Value(i));
    EXPECT_EQ(platform::lookUp(settings, "b" + std::to_string(i)), Value(i));
  }
}

}  // namespace
