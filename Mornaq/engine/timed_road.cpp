#include "Mornaq/engine/timed_road.h"

#include <algorithm>

#include "Mornaq/engine/history_file.h"
#include "Mornaq/engine/immediate_road.h"
#include "Mornaq/engine/reply_engine.h"
#include "Mornaq/engine/reply_request.h"
#include "Mornaq/engine/user_activity.h"
#include "common/settings_format.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/wall_clock.h"

namespace mornaq {
namespace {

// The files and the clocks as each step runs.
class LiveWorld final : public RoadWorld {
 public:
  bool switchOn() const override { return getPlistValue(); }
  Snapshot mainSettings() const override {
    return platform::readPlistShared(format::kMainSettingsPath);
  }
  Snapshot ruleFile() const override {
    return platform::readPlistShared(format::kRuleSettingsPath);
  }
  ReplyHistory history() const override { return readReplyHistory(); }
  const UserActivity& activity() const override { return userActivity(); }
  bool observersExist() const override {
    return platform::NotificationCenter::defaultCenter().observerCount(kReplyRequestNotification) >
           0;
  }
  platform::Date now(const Road&) const override { return platform::dateNow(); }
};

// Whether the road has gone past its reply request: its why was posted then.
bool pastTheRequest(const Road& road) {
  const auto steps = roadSteps().first(road.next + 1);
  return std::any_of(steps.begin(), steps.end(),
                     [](const RoadStep& step) { return step.before.replysOwn; });
}

// The why is posted as the request leaves for the sender: what the rest of
// the road will say, with the history and the user's sends known now.
void postWhyAsItWillGo(Road road) {
  GivenWorld world;
  world.arrival = road.incoming.receivedAt;
  world.switchAtStart = LiveWorld().observersExist();
  world.settings = road.settings;
  world.replies = readReplyHistory();
  world.userSends = userActivity();
  runImmediately(road, world);
  postReplyWhy(road.why, road.incoming.message);
}

}  // namespace

void startRoad(const platform::Id& message, const platform::Id& notificationCenter) {
  runRoad(Road{.incoming = readIncomingMessage(message, notificationCenter)});
}

void runRoad(Road road) {
  const auto steps = roadSteps();
  const RoadStep& step = steps[road.next];
  const Next next = step.decide(road, LiveWorld());
  if (step.act) step.act(road);
  if (next == Next::Stop || road.next + 1 == steps.size()) {
    if (!pastTheRequest(road)) postReplyWhy(road.why, road.incoming.message);
    return;
  }
  const RoadStep& following = steps[++road.next];
  // The request the step posted carries the road on to the sender.
  if (following.before.replysOwn) return postWhyAsItWillGo(std::move(road));
  road.elapsed = platform::saturatingAdd(road.elapsed, following.before.fixed);
  platform::MainQueue::main().after(
      following.before.fixed, [road = std::move(road)]() mutable { runRoad(std::move(road)); });
}

}  // namespace mornaq
