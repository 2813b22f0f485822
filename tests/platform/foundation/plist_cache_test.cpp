// The read cache must be invisible: whatever changes a settings file, and however, the next read
// returns what reading the file afresh would.
#include <fcntl.h>
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using platform::Dictionary;
constexpr std::string_view kSettings = "/var/mobile/Library/Preferences/rewritten.plist";

// The rewrite helper as a second OS process, driven one change at a time through pipes.
class Rewriter {
 public:
  explicit Rewriter(const fs::path& root) {
    int toHelper[2], fromHelper[2];
    EXPECT_EQ(::pipe2(toHelper, O_CLOEXEC), 0);  // the helper keeps only its copies
    EXPECT_EQ(::pipe2(fromHelper, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toHelper[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromHelper[1], STDOUT_FILENO);
    const std::string helper = PLIST_REWRITE_HELPER, rootText = root.string();
    char* arguments[] = {const_cast<char*>(helper.c_str()), const_cast<char*>(rootText.c_str()),
                         nullptr};
    EXPECT_EQ(posix_spawn(&pid_, helper.c_str(), &actions, nullptr, arguments, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toHelper[0]);
    ::close(fromHelper[1]);
    commands_ = ::fdopen(toHelper[1], "w");
    answers_ = ::fdopen(fromHelper[0], "r");
  }
  ~Rewriter() {
    std::fclose(commands_);
    std::fclose(answers_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }

  // True once the helper has made the change.
  bool change(const std::string& how, const std::string& round) {
    std::fprintf(commands_, "%s %s\n", how.c_str(), round.c_str());
    std::fflush(commands_);
    char answer[16] = {};
    return std::fgets(answer, sizeof answer, answers_) && std::string(answer) == "done\n";
  }

 private:
  pid_t pid_ = -1;
  FILE* commands_ = nullptr;
  FILE* answers_ = nullptr;
};

// Every way the file can change, each time right after a read that left the old content cached.
// An in-place rewrite keeps the size and puts the old times back, so only the change watch tells.
TEST(PlistCacheTest, EveryReadSeesWhatAnotherProcessJustChanged) {
  testing_support::TestProcess test;
  Rewriter rewriter(test.root());
  ASSERT_TRUE(rewriter.change("locked", "000000"));
  const std::string cycle[] = {"in-place", "rename",   "in-place", "locked", "in-place", "folder",
                               "in-place", "truncate", "rename",   "delete", "locked"};
  constexpr int kRounds = 330;
  for (int round = 1; round <= kRounds; ++round) {
    const std::string& how = cycle[round % std::size(cycle)];
    const std::string name = fmt::format("{:06}", round);
    ASSERT_TRUE(platform::readPlistShared(kSettings));  // the content before, now cached
    ASSERT_TRUE(rewriter.change(how, name)) << how;
    // The messaging app reads on its network thread too: every other round reads from another
    // thread of the same process.
    std::optional<Dictionary> seen;
    const auto read = [&] {
      const platform::ProcessScope scope(test.process());
      if (auto read = platform::readPlistIfPresent(kSettings)) seen = std::move(*read);
    };
    if (round % 2) {
      std::thread(read).join();
    } else {
      read();
    }
    if (how == "truncate" || how == "delete") {
      EXPECT_EQ(seen, std::nullopt) << how << " in round " << round;
    } else {
      EXPECT_EQ(seen, (Dictionary{{"round", name}})) << how << " in round " << round;
    }
  }
}

// Written as another process writes it, bypassing this one's update.
void put(const fs::path& file, const Dictionary& content) {
  testing_support::writeFile(file, platform::serializePropertyList(content));
}

TEST(PlistCacheTest, AnUnchangedFileIsParsedOnceAndAChangedOneAgain) {
  testing_support::TestProcess test;
  const fs::path file = test.hostPath(kSettings);
  put(file, {{"round", "1"}});
  const auto first = platform::readPlistShared(kSettings);
  EXPECT_EQ(platform::readPlistShared(kSettings), first);  // the same copy: nothing parsed
  put(file, {{"round", "2"}});
  const auto second = platform::readPlistShared(kSettings);
  EXPECT_EQ(*second, (Dictionary{{"round", "2"}}));
  EXPECT_EQ(*first, (Dictionary{{"round", "1"}}));  // a held copy stays as it was
}

// A folder above the watched one replaced: the watch sees nothing, the folder's identity does.
TEST(PlistCacheTest, AReplacedAncestorFolderIsNoticed) {
  testing_support::TestProcess test;
  const fs::path file = test.hostPath(kSettings);
  const fs::path library = file.parent_path().parent_path();
  put(file, {{"round", "1"}});
  EXPECT_EQ(platform::readPlist(kSettings), (Dictionary{{"round", "1"}}));
  fs::rename(library, fs::path(library) += ".old");
  put(file, {{"round", "2"}});
  EXPECT_EQ(platform::readPlist(kSettings), (Dictionary{{"round", "2"}}));
}

}  // namespace
