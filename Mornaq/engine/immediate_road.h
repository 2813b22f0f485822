#pragma once
// The dry run of a message's road: every step at once, with the files, the
// history and the user's sends given and the policies' clock taken from the
// message (its arrival plus the road's own delays). It sends, queues, logs and
// writes nothing.
#include "Mornaq/engine/reply_road.h"

namespace mornaq {

// What a dry run is given.
struct GivenWorld final : RoadWorld {
  platform::Date arrival;
  bool switchAtReceipt = true;
  // The switch as the app started, which decides whether a sender is there.
  bool switchAtStart = true;
  Snapshot settings = std::make_shared<const platform::Dictionary>();
  Snapshot rules = std::make_shared<const platform::Dictionary>();
  ReplyHistory replies;
  UserActivity userSends;

  bool switchOn() const override { return switchAtReceipt; }
  Snapshot mainSettings() const override { return settings; }
  Snapshot ruleFile() const override { return rules; }
  ReplyHistory history() const override { return replies; }
  const UserActivity& activity() const override { return userSends; }
  bool observersExist() const override { return switchAtStart; }
  platform::Date now(const Road& road) const override;
};

// Runs the road's steps from road.next on, each after its delay on the
// road's own clock, until one stops it or none is left.
void runImmediately(Road& road, const RoadWorld& world);

// The whole road of a message whose facts are given: its why.
ReplyWhy dryRun(const IncomingMessage& incoming, const GivenWorld& world);

}  // namespace mornaq
