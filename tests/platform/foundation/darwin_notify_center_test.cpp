#include "platform/foundation/darwin_notify_center.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_process.h"

namespace {

using platform::DarwinNotifyCenter;
using ::testing::ElementsAre;

TEST(DarwinNotifyCenterTest, EveryObserverSeesPostsFromEveryProcessInTheOrderAdded) {
  std::vector<std::string> seen;
  auto first = DarwinNotifyCenter::shared().addObserver(
      [&](const std::string& name) { seen.push_back("first " + name); });
  auto second = DarwinNotifyCenter::shared().addObserver(
      [&](const std::string& name) { seen.push_back("second " + name); });

  {
    testing_support::TestProcess springBoard("com.apple.springboard");
    platform::CFNotificationCenterPostNotification(
        platform::CFNotificationCenterGetDarwinNotifyCenter(), "a");
  }
  testing_support::TestProcess settings("com.apple.Preferences");
  DarwinNotifyCenter::shared().post("b");

  EXPECT_THAT(seen, ElementsAre("first a", "second a", "first b", "second b"));
}

TEST(DarwinNotifyCenterTest, AnObserverWhoseHandleIsGoneHearsNoMore) {
  std::vector<std::string> kept;
  std::vector<std::string> dropped;
  auto keep = DarwinNotifyCenter::shared().addObserver(
      [&](const std::string& name) { kept.push_back(name); });
  auto drop = DarwinNotifyCenter::shared().addObserver(
      [&](const std::string& name) { dropped.push_back(name); });

  DarwinNotifyCenter::shared().post("before");
  drop.reset();
  DarwinNotifyCenter::shared().post("after");

  EXPECT_THAT(kept, ElementsAre("before", "after"));
  EXPECT_THAT(dropped, ElementsAre("before"));
}

TEST(DarwinNotifyCenterTest, AnObserverMayPostAndAddObserversWhileItRuns) {
  std::vector<std::string> seen;
  DarwinNotifyCenter::ObserverHandle late;
  auto relay = DarwinNotifyCenter::shared().addObserver([&](const std::string& name) {
    seen.push_back(name);
    if (name != "ping") return;
    late = DarwinNotifyCenter::shared().addObserver(
        [&](const std::string& heard) { seen.push_back("late " + heard); });
    DarwinNotifyCenter::shared().post("pong");
  });

  DarwinNotifyCenter::shared().post("ping");

  EXPECT_THAT(seen, ElementsAre("ping", "pong", "late pong"));
}

}  // namespace
