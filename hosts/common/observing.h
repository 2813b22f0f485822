#pragma once
// An observation of the process's default notification centre that lasts as
// long as this object: an app watching what the add-on tells.
#include <string>
#include <string_view>

#include "platform/foundation/notification_center.h"

namespace hosts {

class Observing {
 public:
  // Observes every post of name, on the posting thread.
  Observing(std::string_view name, platform::ObserverBlock block)
      : handle_(platform::NotificationCenter::defaultCenter().addObserverForName(
            std::string(name), nullptr, nullptr, std::move(block))) {}
  ~Observing() { platform::NotificationCenter::defaultCenter().removeObserver(handle_); }
  Observing(const Observing&) = delete;
  Observing& operator=(const Observing&) = delete;

 private:
  platform::ObservationHandle handle_;
};

// The add-on posts this whenever it reads or sets the master switch, with
// {"on": B}; an app that prints it names it itself.
inline constexpr std::string_view kMasterSwitchNotification = "MornaqMasterSwitch";

}  // namespace hosts
