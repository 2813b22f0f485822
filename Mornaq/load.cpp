// The hook library's module initialisers. The loader runs them as it opens
// the library in a host, in this order: first the gesture listeners (their
// classes load before any initialiser runs), then the hooks, then the list
// of supported versions.
#include "Mornaq/hooks/load_sequence.h"
#include "Mornaq/hooks/supported_versions.h"
#include "Mornaq/switch/activator_listeners.h"
#include "platform/substrate/loader.h"

__attribute__((constructor(101))) static void loadActivatorListenersAtLoad() {
  platform::substrate::moduleInitializer(mornaq::loadActivatorListeners);
}

__attribute__((constructor(102))) static void installHooksAtLoad() {
  platform::substrate::moduleInitializer(mornaq::installHooks);
}

__attribute__((constructor(103))) static void buildSupportedVersionsAtLoad() {
  platform::substrate::moduleInitializer(mornaq::buildSupportedVersions);
}
