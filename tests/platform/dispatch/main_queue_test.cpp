#include "platform/dispatch/main_queue.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>

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
