#pragma once
// The real run of a message's road: each step on the process's main queue
// after the delay before it, the reply request handed to the sender's
// observers, and the message's why posted when its road ends or its request
// is posted.
#include "Mornaq/engine/reply_road.h"
#include "platform/runtime/object.h"

namespace mornaq {

// Starts the road of a message the host recorded, on the calling thread: the
// facts and the master switch are taken at once, the rest follows on the
// main queue.
void startRoad(const platform::Id& message, const platform::Id& notificationCenter);

// Runs the road's next step now and schedules the ones after it; the sender
// calls it when a request's delay has passed.
void runRoad(Road road);

}  // namespace mornaq
