#include "Mornaq/engine/immediate_road.h"

namespace mornaq {

platform::Date GivenWorld::now(const Road& road) const {
  const double seconds = static_cast<double>(road.elapsed.count()) / 1e9;
  return platform::Date{arrival.secondsSinceReferenceDate + seconds};
}

void runImmediately(Road& road, const RoadWorld& world) {
  const auto steps = roadSteps();
  for (; road.next < steps.size(); ++road.next) {
    const RoadStep& step = steps[road.next];
    road.elapsed = platform::saturatingAdd(road.elapsed, delayBefore(step, road));
    if (step.decide(road, world) == Next::Stop) return;
  }
}

ReplyWhy dryRun(const IncomingMessage& incoming, const GivenWorld& world) {
  Road road{.incoming = incoming};
  runImmediately(road, world);
  return road.why;
}

}  // namespace mornaq
