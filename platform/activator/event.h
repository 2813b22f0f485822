#pragma once
// An event that Activator delivers to a listener. The listener tells that it
// consumed the event with setHandled: YES.
#include <string_view>

#include "platform/runtime/runtime.h"

namespace platform::activator {

inline constexpr std::string_view kSetHandled = "setHandled:";

class LAEvent : public Object {
 public:
  using Object::Object;
  bool handled() const { return handled_; }

  // Adds setHandled: to the runtime class of events.
  static void addMethods(Class& eventClass);

 private:
  bool handled_ = false;
};

// setHandled: sent to an event.
inline void setHandled(const Id& event, bool handled) { send<void>(event, kSetHandled, handled); }

}  // namespace platform::activator
