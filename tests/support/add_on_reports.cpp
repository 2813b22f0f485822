#include "tests/support/add_on_reports.h"

#include <algorithm>

#include "platform/process/process.h"

namespace testing_support {
namespace {

// A report holds no message alive: a test may check that the road lets go of it.
Report reportOf(const platform::Notification& posted) {
  Report report{platform::Process::current().mainQueue().now(), posted.userInfo, {}};
  report.message = platform::lookUp(report.facts, "receivedMessage").object();
  report.facts.erase("receivedMessage");
  return report;
}

}  // namespace

AddOnReports::AddOnReports() : center_(platform::NotificationCenter::defaultCenter()) {
  // The names as an app spells them: they are the add-on's interface.
  const auto record = [this](const char* name, auto onPost) {
    observations_.push_back(center_.addObserverForName(name, nullptr, nullptr, onPost));
  };
  record("MornaqMasterSwitch", [this](const platform::Notification& posted) {
    switches.push_back(platform::lookUp(posted.userInfo, "on").boolValue());
  });
  record("MornaqReplyWhy",
         [this](const platform::Notification& posted) { whys.push_back(reportOf(posted)); });
  record("MornaqReplyOutcome",
         [this](const platform::Notification& posted) { outcomes.push_back(reportOf(posted)); });
}

AddOnReports::~AddOnReports() {
  for (const auto& observation : observations_) center_.removeObserver(observation);
}

void AddOnReports::clear() {
  switches.clear();
  whys.clear();
  outcomes.clear();
}

std::optional<platform::Dictionary> AddOnReports::whyOf(const platform::Id& message) const {
  const auto found = std::find_if(whys.begin(), whys.end(),
                                  [&](const Report& why) { return why.message.lock() == message; });
  if (found == whys.end()) return std::nullopt;
  return found->facts;
}

}  // namespace testing_support
