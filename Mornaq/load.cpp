// The hook library's module initialisers: the loader runs them as it opens
// the library in a host, one step of the load sequence each, in its order.
#include "Mornaq/hooks/load_sequence.h"
#include "platform/substrate/loader.h"

__attribute__((constructor(101))) static void loadStep1() {
  platform::substrate::moduleInitializer(mornaq::kLoadSequence[0]);
}

__attribute__((constructor(102))) static void loadStep2() {
  platform::substrate::moduleInitializer(mornaq::kLoadSequence[1]);
}

__attribute__((constructor(103))) static void loadStep3() {
  platform::substrate::moduleInitializer(mornaq::kLoadSequence[2]);
}

static_assert(mornaq::kLoadSequence.size() == 3, "one module initialiser per step");
