#pragma once
// The gesture library (libactivator) as the add-on uses it: one activator per
// process (LASharedActivator) that listeners register with by name, events
// it sends to a listener, and the listing of the registered listeners that
// its settings show. How gestures are assigned to listeners is left out: an
// event is sent to a listener by its name.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/activator/event.h"
#include "platform/activator/listener.h"
#include "platform/runtime/runtime.h"

namespace platform::activator {

// The home-screen process: the only one that Activator runs inside.
inline constexpr std::string_view kSpringBoardBundleIdentifier = "com.apple.springboard";

// What the listing shows of one listener.
struct ListenerDescription {
  std::string name;
  Text title;
  Text description;
  Icon icon;
  Icon smallIcon;
};

class LAActivator : public Object {
 public:
  LAActivator(const Class* cls, ClassRef eventClass, bool insideSpringBoard);

  // LASharedActivator: the current process's activator, made on first use
  // together with the runtime classes LAActivator and LAEvent.
  static std::shared_ptr<LAActivator> shared();

  bool isRunningInsideSpringBoard() const { return insideSpringBoard_; }
  // registerListener:forName:. A later registration under the same name
  // replaces the earlier one.
  void registerListener(Id listener, std::string_view name);
  Id listenerForName(std::string_view name) const;

  // Sends a new event to the listener registered under name: the event as
  // the listener left it, or nullptr when no listener has that name.
  std::shared_ptr<LAEvent> sendEventToListener(std::string_view name);

  // Every registered listener in name order, with its icons at that scale.
  std::vector<ListenerDescription> listListeners(double scale);

 private:
  ClassRef eventClass_;
  bool insideSpringBoard_;
  mutable std::mutex mutex_;
  std::map<std::string, Id, std::less<>> listeners_;
};

}  // namespace platform::activator
