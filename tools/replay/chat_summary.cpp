#include "tools/replay/chat_summary.h"

#include <algorithm>

#include "Mornaq/engine/why_reasons.h"

namespace tools::replay {
namespace {

using mornaq::WhyReason;

// The first reply policy on the road; every reason after it is one too.
constexpr WhyReason kFirstPolicy = WhyReason::Schedule;
constexpr WhyReason kLastReason = WhyReason::LoopGuard;

}  // namespace

void ChatSummary::count(const Outcome& outcome) {
  ++received;
  if (outcome.reply) {
    ++answered;
    if (outcome.answeredBy) ++answeredBy[*outcome.answeredBy];
  } else if (outcome.stoppedBy) {
    ++stoppedBy[*outcome.stoppedBy];
  }
}

const std::vector<std::string_view>& stepsInRoadOrder() {
  static const std::vector<std::string_view> steps = [] {
    std::vector<std::string_view> names;
    for (int reason = 0; reason <= static_cast<int>(kLastReason); ++reason) {
      names.push_back(mornaq::whyReasonName(static_cast<WhyReason>(reason)));
    }
    return names;
  }();
  return steps;
}

bool isReplyPolicy(std::string_view step) {
  const auto& steps = stepsInRoadOrder();
  const auto found = std::find(steps.begin(), steps.end(), step);
  return found != steps.end() && found - steps.begin() >= static_cast<int>(kFirstPolicy);
}

}  // namespace tools::replay
