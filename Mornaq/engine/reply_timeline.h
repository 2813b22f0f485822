#pragma once
// The fixed timeline of a message that is answered: screening at once, the
// decision 1 s later, the evaluation 2 s after that; then the reply's own delay.
#include "platform/dispatch/main_queue.h"

namespace mornaq {

inline constexpr platform::Duration kScreeningToDecision{1'000'000'000};
inline constexpr platform::Duration kDecisionToEvaluation{2'000'000'000};

}  // namespace mornaq
