#pragma once
// What the add-on tells the app it runs in, observed as the app observes it,
// on the current process's default notification centre: the master switch
// whenever it is read or set, why each received message got its reply or
// none, and how each reply ended as it was about to leave. Tests decide from
// these facts; the log lines, which are for people, are pinned by the
// transcripts (tests/tools/transcripts).
#include <memory>
#include <optional>
#include <vector>

#include "platform/dispatch/main_queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/value.h"

namespace testing_support {

struct Report {
  platform::Duration at;                    // on the process's main-queue clock
  platform::Dictionary facts;               // the user info but the message
  std::weak_ptr<platform::Object> message;  // "receivedMessage", not kept alive
};

class AddOnReports {
 public:
  AddOnReports();
  ~AddOnReports();
  AddOnReports(const AddOnReports&) = delete;
  AddOnReports& operator=(const AddOnReports&) = delete;

  std::vector<bool> switches;    // "MornaqMasterSwitch": {"on": B}
  std::vector<Report> whys;      // "MornaqReplyWhy": the why record and its message
  std::vector<Report> outcomes;  // "MornaqReplyOutcome": sent, or held back and why

  // The why record of the message received as this object (nullopt: none).
  std::optional<platform::Dictionary> whyOf(const platform::Id& message) const;
  // Forgets what was reported so far.
  void clear();

 private:
  platform::NotificationCenter& center_;
  std::vector<platform::ObservationHandle> observations_;
};

}  // namespace testing_support
