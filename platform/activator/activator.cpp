#include "platform/activator/activator.h"

#include "platform/process/process.h"

namespace platform::activator {
namespace {

struct SharedActivator {
  std::shared_ptr<LAActivator> instance;
};

}  // namespace

LAActivator::LAActivator(const Class* cls, ClassRef eventClass, bool insideSpringBoard)
    : Object(cls), eventClass_(std::move(eventClass)), insideSpringBoard_(insideSpringBoard) {}

std::shared_ptr<LAActivator> LAActivator::shared() {
  Process& process = Process::current();
  auto& shared = process.state<SharedActivator>().instance;
  if (!shared) {
    ClassRef activatorClass = process.runtime().defineClass("LAActivator");
    ClassRef eventClass = process.runtime().defineClass("LAEvent");
    LAEvent::addMethods(*eventClass);
    shared =
        std::make_shared<LAActivator>(activatorClass.get(), std::move(eventClass),
                                      process.bundleIdentifier() == kSpringBoardBundleIdentifier);
  }
  return shared;
}

void LAActivator::registerListener(Id listener, std::string_view name) {
  std::lock_guard lock(mutex_);
  listeners_.insert_or_assign(std::string(name), std::move(listener));
}

Id LAActivator::listenerForName(std::string_view name) const {
  std::lock_guard lock(mutex_);
  auto found = listeners_.find(name);
  return found == listeners_.end() ? nullptr : found->second;
}

std::shared_ptr<LAEvent> LAActivator::sendEventToListener(std::string_view name) {
  Id listener = listenerForName(name);
  if (!listener) return nullptr;
  auto event = std::make_shared<LAEvent>(eventClass_.get());
  activatorReceiveEvent(listener, self(), event);
  return event;
}

std::vector<ListenerDescription> LAActivator::listListeners(double scale) {
  std::map<std::string, Id, std::less<>> listeners;
  {
    // Listeners are asked outside the lock: they may register others.
    std::lock_guard lock(mutex_);
    listeners = listeners_;
  }
  std::vector<ListenerDescription> descriptions;
  for (const auto& [name, listener] : listeners) {
    descriptions.push_back({
        .name = name,
        .title = activatorRequiresLocalizedTitleForListenerName(listener, self(), name),
        .description = activatorRequiresLocalizedDescriptionForListenerName(listener, self(), name),
        .icon = activatorRequiresIconForListenerName(listener, self(), name, scale),
        .smallIcon = activatorRequiresSmallIconForListenerName(listener, self(), name, scale),
    });
  }
  return descriptions;
}

}  // namespace platform::activator
