// The reply history as the sender records it: counted by the policies at
// once, written off the main queue with the replies around it, and on disk
// however the app goes on or ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "Mornaq/engine/history_file.h"
#include "Mornaq/hooks/load_sequence.h"
#include "common/reply_history.h"
#include "hosts/whatsapp/chat_objects.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/plist_file.h"
#include "tests/Mornaq/hooks/hooks_fixture.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/test_files.h"

namespace hooks_test {
namespace {

using mornaq::format::HistoryEntry;
using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr std::string_view kHistory = mornaq::format::kReplyHistoryPath;

std::vector<HistoryEntry> onDisk() {
  return mornaq::format::historyEntries(platform::readPlist(kHistory));
}

std::size_t linesStartingWith(const std::vector<std::string>& log, std::string_view start) {
  return std::ranges::count_if(log, [&](const auto& line) { return line.starts_with(start); });
}

// Adds a reply to the file as a write of the process's or another's would.
void addToFile(const HistoryEntry& reply) {
  ASSERT_TRUE(platform::updatePlist(kHistory, [&](Dictionary& file) {
    mornaq::format::addToHistory(file, reply);
    return true;
  }));
}

class ReplyHistory : public HooksTest {
 protected:
  void SetUp() override {
    writeSettings({{"isTweakEnabled", true}});
    start();
  }

  // A reply request for Ann at each time, each sent at once if nothing holds it.
  void requestRepliesAt(const std::vector<platform::Duration>& times) {
    const Id ann = hosts::whatsapp::makeChatSession(kAnn);
    for (const auto at : times) {
      process.queue().runUntil(at);
      postReplyRequest("Away", "0", ann);
      process.queue().runUntil(at);
    }
  }
};

struct CountingPolicy {
  const char* name;
  Dictionary settings;
  int requests;  // a millisecond apart
  std::size_t sent;
  const char* held;  // the policy that stops the rest (stoppedBy)
};

TEST_F(ReplyHistory, ThePoliciesThatCountRepliesCountTheOnesNotYetWritten) {
  const CountingPolicy rows[] = {
      {"reply once", {{"isReplyOnce", true}}, 2, 1, "replyOnce"},
      {"loop guard", {}, 11, 10, "loopGuard"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(process.hostPath(kHistory));
    writeSettings({{"isReplyOnce", false}});
    writeSettings(row.settings);
    const auto from = process.queue().now() + 1h;
    std::vector<platform::Duration> times;
    for (int i = 0; i < row.requests; ++i) times.push_back(from + i * 1ms);
    sent.clear();
    reports.clear();

    requestRepliesAt(times);
    EXPECT_EQ(sent.size(), row.sent);
    EXPECT_EQ(std::ranges::count_if(reports.outcomes,
                                    [&](const auto& outcome) {
                                      return platform::lookUp(outcome.facts, "stoppedBy") ==
                                             platform::Value(row.held);
                                    }),
              row.requests - static_cast<int>(row.sent));
    EXPECT_THAT(onDisk(), IsEmpty()) << "every decision was taken while the write waited";
    EXPECT_EQ(mornaq::readReplyHistory().size(), row.sent);

    process.queue().runUntilIdle();
    EXPECT_EQ(onDisk().size(), row.sent);
    EXPECT_EQ(mornaq::readReplyHistory(), onDisk());
  }
}

TEST_F(ReplyHistory, AnotherProcessWritingTheFileMeanwhileKeepsBothReplies) {
  requestRepliesAt({1s});
  const HistoryEntry theirs{platform::Date{1}, "bob", "Bob", "from another process"};
  {
    const testing_support::TestProcess other("com.example.other", process.root());
    addToFile(theirs);
  }
  const auto seen = mornaq::readReplyHistory();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "Away");
  EXPECT_EQ(seen[1], theirs);

  process.queue().runUntilIdle();
  EXPECT_EQ(onDisk(), seen);
  EXPECT_EQ(mornaq::readReplyHistory(), seen);
}

// The moment between a write's rename and its end, when the file already
// holds the oldest replies that the process still keeps.
TEST_F(ReplyHistory, AReplyBothInTheFileAndNotYetSeenWrittenIsCountedOnce) {
  const HistoryEntry older{platform::Date{10}, "ann", "Ann", "first"};
  const HistoryEntry newer{platform::Date{20}, "ann", "Ann", "second"};
  mornaq::recordReply(older);
  mornaq::recordReply(newer);
  for (const auto* written : {&older, &newer}) {
    addToFile(*written);
    EXPECT_THAT(mornaq::readReplyHistory(), ElementsAre(newer, older));
  }
}

TEST_F(ReplyHistory, AFailedWriteIsLoggedWithItsReasonAndTriedAgainWithTheNextReply) {
  // A folder where the file should be cannot be replaced.
  std::filesystem::create_directories(process.hostPath(kHistory));
  requestRepliesAt({1s, 1s});
  process.queue().runUntilIdle();
  const auto log = process.log();
  EXPECT_EQ(linesStartingWith(log, "[Mornaq] could not write"), 1u)
      << "the two replies are written together";
  EXPECT_THAT(log,
              testing::Contains(fmt::format(
                  "[Mornaq] could not write {}: could not read it: Is a directory", kHistory)));
  EXPECT_EQ(mornaq::readReplyHistory().size(), 2u);

  std::filesystem::remove(process.hostPath(kHistory));
  requestRepliesAt({process.queue().now() + 1s});
  process.queue().runUntilIdle();
  EXPECT_EQ(linesStartingWith(process.log(), "[Mornaq] could not write"), 1u)
      << "the next write carried every reply";
  EXPECT_EQ(onDisk().size(), 3u);
  EXPECT_EQ(mornaq::readReplyHistory(), onDisk());
}

// Ways the app goes on after replies left, each of which finds them on disk.
struct Ending {
  const char* name;
  bool switchOn;
  std::function<void(testing_support::TestProcess&, hosts::whatsapp::WhatsAppApp&)> end;
  bool processEnds = false;
};

TEST_F(ReplyHistory, EveryReplyIsOnDiskWhenTheAppTerminatesEndsOrASecondHasPassed) {
  const Ending endings[] = {
      {"terminated with the switch on", true, [](auto&, auto& app) { app.terminate(); }},
      {"terminated with the switch off", false, [](auto&, auto& app) { app.terminate(); }},
      {"a second later", true,
       [](auto& running, auto&) { running.queue().advanceBy(platform::Duration(1s)); }},
      {"the process ends", true, [](auto&, auto&) {}, true},
  };
  for (const auto& ending : endings) {
    SCOPED_TRACE(ending.name);
    const testing_support::TemporaryFolder root;
    {
      testing_support::TestProcess running("net.whatsapp.WhatsApp", root.path());
      testing_support::writePlist(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
      hosts::whatsapp::WhatsAppApp app(
          running.process(), hosts::whatsapp::kDefaultVersion, [](auto&&...) {},
          mornaq::runLoadSequence);
      for (const auto& chat : {kAnn, Chat{.contactIdentifier = "bob", .displayName = "Bob"}}) {
        postReplyRequest("Away", "0", hosts::whatsapp::makeChatSession(chat));
      }
      running.queue().runUntil(running.queue().now());
      testing_support::writePlist(mornaq::format::kMainSettingsPath,
                                  {{"isTweakEnabled", ending.switchOn}});
      ASSERT_THAT(onDisk(), IsEmpty());
      ending.end(running, app);
      if (!ending.processEnds) {
        EXPECT_EQ(onDisk().size(), 2u);
      }
    }
    const testing_support::TestProcess reader("reader", root.path());
    EXPECT_EQ(onDisk().size(), 2u);
  }
}

// On the real clock, with the history file's lock held by another writer,
// so that the write stays under way while the main queue reads.
TEST(ReplyHistoryRealTime, ReadsCountEachReplyOnceWhileItsWriteIsUnderWayAndAfter) {
  const testing_support::TemporaryFolder root;
  platform::Process process({.bundleIdentifier = "net.whatsapp.WhatsApp",
                             .name = "WhatsApp",
                             .deviceRoot = root.path(),
                             .clock = platform::Clock::Real,
                             .logSink = [](std::string_view) {}});
  const platform::ProcessScope scope(process);
  const auto file = *process.root().map(kHistory);
  std::filesystem::create_directories(file.parent_path());
  const int lock = ::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);

  const HistoryEntry first{platform::Date{1.25}, "ann", "Ann", "one"};
  const HistoryEntry second{platform::Date{2.75}, "ann", "Ann", "two"};
  mornaq::recordReply(first);
  std::thread terminating([&] {
    const platform::ProcessScope inProcess(process);
    mornaq::flushReplyHistory();
  });
  std::this_thread::sleep_for(50ms);  // the write waits for the lock
  mornaq::recordReply(second);
  // Read as the file gives them back: to the whole second.
  const std::vector<HistoryEntry> both{{platform::Date{2}, "ann", "Ann", "two"},
                                       {platform::Date{1}, "ann", "Ann", "one"}};
  EXPECT_EQ(mornaq::readReplyHistory(), both);

  ::flock(lock, LOCK_UN);
  ::close(lock);
  while (onDisk().size() < 2) ASSERT_EQ(mornaq::readReplyHistory(), both);
  terminating.join();
  EXPECT_EQ(mornaq::readReplyHistory(), both);
  EXPECT_EQ(onDisk(), both);
}

}  // namespace
}  // namespace hooks_test
