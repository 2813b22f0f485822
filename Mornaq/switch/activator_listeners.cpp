#include "Mornaq/switch/activator_listeners.h"

#include <array>
#include <string>

#include "Mornaq/switch/listener_icons.h"
#include "Mornaq/switch/master_switch.h"
#include "common/settings_format.h"
#include "platform/activator/activator.h"
#include "platform/foundation/log.h"
#include "platform/process/process.h"

namespace mornaq {
namespace {

namespace la = platform::activator;
using platform::ClassRef;
using platform::Id;
using platform::Method;

// What tells the two listeners apart; everything else they share.
struct ListenerKind {
  std::string_view className;
  std::string_view listenerName;
  bool state;
  std::string_view eventLine;
  std::string_view title;
  std::string_view description;
  std::string_view icon;  // the picture's name in the settings bundle
};

constexpr std::array<ListenerKind, 2> kListenerKinds{{
    {kActivatorOnClass, format::kActivatorOnListener, true,
     "[Mornaq] even received set check == YESS", "Mornaq ON", "To enabled Mornaq tweak.",
     "ListenerOn"},
    {kActivatorOffClass, format::kActivatorOffListener, false,
     "[Mornaq] even received set check == NO00", "Mornaq OFF", "To disable Mornaq tweak.",
     "ListenerOff"},
}};

// The listener does not look at the current state: every event writes and
// posts again.
void receiveEvent(const ListenerKind& kind, const Id& event) {
  platform::NSLog(kind.eventLine);
  MqSetState(kind.state);
  la::setHandled(event, true);
}

// Activator runs only in the home screen, so elsewhere nothing registers.
void registerListener(const ClassRef& cls, const ListenerKind& kind) {
  auto activator = la::LAActivator::shared();
  if (!activator->isRunningInsideSpringBoard()) return;
  activator->registerListener(platform::Runtime::createInstance(cls), kind.listenerName);
}

ClassRef defineListenerClass(platform::Runtime& runtime, const ListenerKind& kind) {
  ClassRef cls = runtime.defineClass(kind.className);
  cls->setMethod(
      la::kReceiveEvent,
      Method(la::ReceiveEvent([&kind](Id, Id, Id event) { receiveEvent(kind, event); })));
  cls->setMethod(la::kRequiresLocalizedTitle, Method(la::RequiresText([&kind](Id, Id, std::string) {
                   return la::Text(std::string(kind.title));
                 })));
  cls->setMethod(la::kRequiresLocalizedDescription,
                 Method(la::RequiresText([&kind](Id, Id, std::string) {
                   return la::Text(std::string(kind.description));
                 })));
  cls->setMethod(la::kRequiresIcon,
                 Method(la::RequiresIcon([&kind](Id, Id, std::string, double scale) {
                   return listenerIcon(kind.className, kind.icon, IconSize::Large, scale);
                 })));
  cls->setMethod(la::kRequiresSmallIcon,
                 Method(la::RequiresIcon([&kind](Id, Id, std::string, double scale) {
                   return listenerIcon(kind.className, kind.icon, IconSize::Small, scale);
                 })));
  cls->addClassMethod<void>("load", [&kind](Id self) {
    registerListener(std::static_pointer_cast<platform::Class>(self), kind);
  });
  return cls;
}

}  // namespace

void loadActivatorListeners() {
  auto& runtime = platform::Process::current().runtime();
  for (const ListenerKind& kind : kListenerKinds) {
    // A process loads a library's classes once; loading it again adds nothing.
    if (runtime.lookUpClass(kind.className)) continue;
    platform::send<void>(defineListenerClass(runtime, kind), "load");
  }
}

}  // namespace mornaq
