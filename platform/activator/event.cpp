#include "platform/activator/event.h"

namespace platform::activator {

void LAEvent::addMethods(Class& eventClass) {
  eventClass.addMethod<void, bool>(
      kSetHandled, [](Id self, bool handled) { as<LAEvent>(self).handled_ = handled; });
}

}  // namespace platform::activator
