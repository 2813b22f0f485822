#pragma once
// What a rehearsal did in one chat, counted: messages received, answered (by
// which reply), and stopped, by the step that stopped each (a reply policy
// holding the reply back, or a reason it found none).
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/replay/app_outcomes.h"

namespace tools::replay {

struct ChatSummary {
  std::size_t received = 0;
  std::size_t answered = 0;
  std::map<AnsweredBy, std::size_t> answeredBy;
  std::map<std::string, std::size_t, std::less<>> stoppedBy;

  void count(const Outcome& outcome);
};

// The names a message's stoppedBy can take, in the order of its road: the
// reasons a message finds no reply, then the reply policies.
const std::vector<std::string_view>& stepsInRoadOrder();

// Whether step is a reply policy, which holds back a reply that was chosen.
bool isReplyPolicy(std::string_view step);

}  // namespace tools::replay
