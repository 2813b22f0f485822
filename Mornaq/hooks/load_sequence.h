#pragma once
// What the hook library does when it is loaded into a process, in order. The
// library's module initialisers run these steps (Mornaq/load.cpp); tests run
// the same sequence against a fresh simulated process.
namespace mornaq {

// The first load step: seeds MainSettings from the settings bundle's seed
// file when it is missing, then replaces the seven host methods. Classes and
// selectors the process lacks are skipped.
void installHooks();

// The whole sequence: the gesture listeners, the hooks, then the supported
// versions.
void runLoadSequence();

}  // namespace mornaq
