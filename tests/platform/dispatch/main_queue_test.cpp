#include "platform/dispatch/main_queue.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>
#include <thread>

#include "platform/foundation/notification_center.h"
#include "tests/support/test_process.h"

namespace {

using namespace std::chrono_literals;
using platform::Duration;

class VirtualQueueTest : public ::testing::Test {
 protected:
  testing_support::TestProcess test;
  platform::VirtualMainQueue& queue = test.queue();
  std::string trail;
};

TEST_F(VirtualQueueTest, RunsByDueTimeThenInQueueingOrder) {
  queue.after(2s, [&] { trail += "c"; });
  queue.after(1s, [&] { trail += "a"; });
  queue.after(1s, [&] { trail += "b"; });
  queue.async([&] { trail += "0"; });
  queue.runUntilIdle();
  EXPECT_EQ(trail, "0abc");
  EXPECT_EQ(queue.now(), Duration(2s));
}

TEST_F(VirtualQueueTest, AdvanceRunsExactlyWhatIsDueByThen) {
  queue.after(3s, [&] { trail += "x"; });
  queue.advanceBy(2999ms);
  EXPECT_EQ(trail, "");
  queue.advanceBy(1ms);
  EXPECT_EQ(trail, "x");
  EXPECT_EQ(queue.now(), Duration(3s));
}

TEST_F(VirtualQueueTest, DelaysAreRelativeToTheTaskThatSetsThem) {
  queue.after(1s, [&] {
    queue.after(2s, [&] { trail += fmt::format("{}", queue.now().count()); });
  });
  queue.runUntilIdle();
  EXPECT_EQ(trail, std::to_string(Duration(3s).count()));
}

TEST_F(VirtualQueueTest, ZeroAndNegativeDelaysRunAtOnceInOrder) {
  queue.after(-5s, [&] { trail += "a"; });
  queue.after(0s, [&] { trail += "b"; });
  queue.advanceBy(0s);
  EXPECT_EQ(trail, "ab");
}

TEST_F(VirtualQueueTest, AHugeDelayIsHeldAtTheEndOfTimeRatherThanWrapping) {
  queue.after(1s, [&] { queue.after(platform::secondsSaturating(std::numeric_limits<std::int64_t>::max()), [&] { trail += "late"; }); });
  queue.advanceBy(1h);
  EXPECT_EQ(trail, "");
  EXPECT_EQ(queue.nextDue(), Duration::max());
}

// Both queues of a virtual process on its one clock: by due time, then in the
// order queued, whichever queue; each task knows which queue runs it.
TEST_F(VirtualQueueTest, TheBackgroundQueueRunsOnTheSameClockInOneOrderWithTheMainQueue) {
  auto& background = queue.background();
  const auto mark = [&](std::string name) {
    return [&, name] {
      trail += name + (background.isCurrent() ? "b" : "") + (queue.isCurrent() ? "m" : "") + " ";
    };
  };
  background.after(1s, mark("3"));
  queue.after(1s, mark("4"));
  background.async(mark("1"));
  queue.async(mark("2"));
  queue.after(2s, [&] { background.async(mark("6")); });
  background.after(2s, mark("5"));
  EXPECT_EQ(queue.nextDue(), Duration(0s));
  queue.runUntilIdle();
  EXPECT_EQ(trail, "1b 2m 3b 4m 5b 6b ");
  EXPECT_EQ(background.now(), Duration(2s));
  EXPECT_TRUE(queue.idle());
}

TEST_F(VirtualQueueTest, SyncRunsWhatIsDueOnTheBackgroundFirstAndLeavesTheRest) {
  auto& background = queue.background();
  queue.advanceBy(1s);
  background.after(1s, [&] { trail += "later "; });
  background.async([&] { trail += "due "; });
  queue.async([&] { trail += "main "; });
  background.sync([&] { trail += "sync "; });
  EXPECT_EQ(trail, "due sync ");
  queue.runUntilIdle();
  EXPECT_EQ(trail, "due sync main later ");
}

TEST(ProcessEndTest, TheBackgroundQueueFinishesItsTasksAndTheMainQueueDropsItsOwn) {
  for (const auto clock : {platform::Clock::Virtual, platform::Clock::Real}) {
    std::string trail;
    {
      platform::Process process({.bundleIdentifier = "ending",
                                 .name = "ending",
                                 .deviceRoot = std::filesystem::temp_directory_path(),
                                 .clock = clock,
                                 .logSink = {}});
      auto& background = process.mainQueue().background();
      process.mainQueue().after(1h, [&] { trail += "main "; });
      background.after(1h, [&] { trail += "in an hour "; });
      background.async([&] {
        trail += "now ";
        background.async([&] { trail += "queued by a task "; });
      });
    }
    EXPECT_EQ(trail, "now queued by a task in an hour ") << (clock == platform::Clock::Real);
  }
}

TEST(SaturationTest, SecondsToNanosecondsSaturate) {
  EXPECT_EQ(platform::secondsSaturating(3), Duration(3s));
  EXPECT_EQ(platform::secondsSaturating(std::numeric_limits<std::int64_t>::max()), Duration::max());
  EXPECT_EQ(platform::secondsSaturating(std::numeric_limits<std::int64_t>::min()), Duration::min());
  EXPECT_EQ(platform::saturatingAdd(Duration(5s), Duration::max()), Duration::max());
}

TEST(RealQueueTest, RunsTasksOnItsOwnThreadInsideItsProcess) {
  platform::Process process({.bundleIdentifier = "real", .name = "real",
                             .deviceRoot = std::filesystem::temp_directory_path(),
                             .clock = platform::Clock::Real,
                             .logSink = {}});
  auto& queue = static_cast<platform::RealMainQueue&>(process.mainQueue());
  std::string trail;
  bool onQueue = false;
  platform::Process* seen = nullptr;
  queue.after(20ms, [&] { trail += "b"; });
  queue.async([&] {
    trail += "a";
    onQueue = queue.isCurrent();
    seen = platform::Process::currentOrNull();
  });
  queue.waitUntilIdle();
  EXPECT_EQ(trail, "ab");
  EXPECT_TRUE(onQueue);
  EXPECT_EQ(seen, &process);
  EXPECT_FALSE(queue.isCurrent());
}

TEST(RealQueueTest, TheBackgroundQueueRunsInOrderOnAThreadOfItsOwnAndSyncWaitsForIt) {
  platform::Process process({.bundleIdentifier = "real",
                             .name = "real",
                             .deviceRoot = std::filesystem::temp_directory_path(),
                             .clock = platform::Clock::Real,
                             .logSink = {}});
  auto& background = process.mainQueue().background();
  std::string trail;  // written by the background queue only, read after sync
  background.after(10ms, [&] { trail += "b"; });
  background.async([&] {
    trail += "a";
    if (!background.isCurrent() || process.mainQueue().isCurrent()) trail += "!";
    if (platform::Process::currentOrNull() != &process) trail += "?";
  });
  std::this_thread::sleep_for(20ms);
  background.sync([&] { trail += "s"; });
  EXPECT_EQ(trail, "abs");
  EXPECT_FALSE(background.isCurrent());

  // Idle is both queues idle, whichever hands the other work.
  process.mainQueue().after(10ms, [&] {
    background.after(10ms, [&] { process.mainQueue().async([&] { trail += "m"; }); });
  });
  static_cast<platform::RealMainQueue&>(process.mainQueue()).waitUntilIdle();
  EXPECT_EQ(trail, "absm");
}

TEST(NotificationCenterTest, DeliversByNameToEveryObserverUntilRemoved) {
  testing_support::TestProcess test;
  auto& center = platform::NotificationCenter::defaultCenter();
  std::vector<std::string> seen;
  auto first = center.addObserverForName("Reply", nullptr, &test.queue(), [&](const auto& n) {
    seen.push_back("first:" + *platform::lookUp(n.userInfo, "msg").string());
  });
  center.addObserverForName("Reply", nullptr, nullptr, [&](const auto&) { seen.push_back("second"); });
  center.addObserverForName("Other", nullptr, nullptr, [&](const auto&) { seen.push_back("other"); });

  center.postNotificationName("Reply", nullptr, {{"msg", "hi"}});
  center.removeObserver(first);
  center.postNotificationName("Reply", nullptr, {{"msg", "again"}});

  EXPECT_EQ(seen, (std::vector<std::string>{"first:hi", "second", "second"}));
  EXPECT_EQ(center.observerCount("Reply"), 1u);
}

}  // namespace
