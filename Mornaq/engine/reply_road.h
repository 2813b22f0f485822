#pragma once
// The road of one received message through the engine, declared once: an
// ordered list of steps, each with the delay before it, the decision it makes
// and what the real run does with that decision. Two drivers run it: the
// timed one on the process's main queue (timed_road.h, the real run) and the
// immediate one at once (immediate_road.h, the dry run). A new step, check or
// policy is one entry in the list.
#include <cstddef>
#include <memory>
#include <optional>
#include <span>

#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/reply_evaluation.h"
#include "Mornaq/engine/reply_path.h"
#include "Mornaq/engine/reply_policies.h"
#include "Mornaq/engine/reply_why.h"
#include "Mornaq/engine/screening.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/value.h"

namespace mornaq {

// A settings file as a step read it, shared by the steps that come after.
using Snapshot = std::shared_ptr<const platform::Dictionary>;

// A message on its road: its facts, taken from the host once at receipt, and
// what each step has found so far.
struct Road {
  IncomingMessage incoming;
  // MainSettings as screening took it: a change applies from the next message on.
  Snapshot settings = std::make_shared<const platform::Dictionary>();
  Screening screening = Screening::Pass;
  Decision decision{};  // points into settings
  std::optional<Evaluation> evaluation{};
  std::optional<Reply> reply{};           // the reply request the evaluation chose
  std::optional<PolicyVerdict> heldBy{};  // the policy that held the reply back
  platform::Duration elapsed{};           // since receipt, by the road's own delays
  platform::Id chatManager{};             // the sender's, once a sender took the road
  std::size_t next = 0;                   // the index of the step that runs next
  ReplyWhy why{};
};

// What the steps see besides the message, as the driver gives it: the real
// run reads the files and the clocks as each step runs; the dry run is given
// them.
class RoadWorld {
 public:
  virtual ~RoadWorld() = default;
  // The master switch as the message arrives.
  virtual bool switchOn() const = 0;
  // MainSettings as a step reads it: at screening, and again as the reply leaves.
  virtual Snapshot mainSettings() const = 0;
  virtual Snapshot ruleFile() const = 0;
  virtual ReplyHistory history() const = 0;
  virtual const UserActivity& activity() const = 0;
  // Whether the app registered a sender, which it does only when the switch
  // is on as it starts.
  virtual bool observersExist() const = 0;
  // The phone's date as the step runs.
  virtual platform::Date now(const Road& road) const = 0;
};

enum class Next { Go, Stop };

// How long after the step before it a step runs: a fixed delay, or the
// reply's own, which the sender waits once the request reached it.
struct StepDelay {
  platform::Duration fixed{};
  bool replysOwn = false;
};

struct RoadStep {
  StepDelay before;
  // Decides and notes the step's tests in the road's why; Stop ends the road.
  Next (*decide)(Road& road, const RoadWorld& world);
  // What the real run does with the decision: its log lines, launch requests,
  // the reply request, the send.
  void (*act)(Road& road);
};

inline constexpr platform::Duration kScreeningToDecision{1'000'000'000};
inline constexpr platform::Duration kDecisionToEvaluation{2'000'000'000};

// Receipt, screening, decision, evaluation, sending.
std::span<const RoadStep> roadSteps();

// The delay before a step of this road: the reply's own is its request's.
platform::Duration delayBefore(const RoadStep& step, const Road& road);

}  // namespace mornaq
