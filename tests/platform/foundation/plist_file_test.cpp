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
      {"malformed", "<plist><dict>", std::nullopt, "it is not a property list"},
      {"empty", "", std::nullopt, "it is not a property list"},
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
  EXPECT_THAT(test.log(), ElementsAre(moved + ".malformed-1", moved + ".malformed-2"));
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
