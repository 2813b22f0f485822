#pragma once
// What the hook library does when it is loaded into a process, in order. The
// library's module initialisers run these steps (Mornaq/load.cpp); tests run
// the same sequence against a fresh simulated process.
#include <array>

#include "Mornaq/hooks/supported_versions.h"
#include "Mornaq/switch/activator_listeners.h"

namespace mornaq {

// The first load step: seeds MainSettings from the settings bundle's seed
// file when it is missing, then replaces the seven host methods. Classes and
// selectors the process lacks are skipped.
void installHooks();

// The steps, in the order they run: the gesture listeners (their classes
// load before any initialiser runs), the hooks, then the supported versions.
inline constexpr std::array kLoadSequence{loadActivatorListeners, installHooks,
                                          buildSupportedVersions};

// The whole sequence, at once.
void runLoadSequence();

}  // namespace mornaq
