#pragma once
// The loader that injects hook libraries into an app as it starts.
//
// A hook library ships as a .dylib beside a filter plist of the same base name
// in "/Library/MobileSubstrate/DynamicLibraries/"; the filter's Filter →
// Bundles array names the apps it belongs in. The library is a real shared
// library, opened with dlopen, whose module initialisers do its load-time work.
#include <functional>

namespace platform::substrate {

inline constexpr const char* kDynamicLibrariesFolder = "/Library/MobileSubstrate/DynamicLibraries/";

// Opens, in file-name order, every hook library whose filter names the
// current process's bundle identifier. A library that cannot be opened is
// logged and skipped.
void loadHookLibraries();

// For a library's module initialisers: runs step in the current process and
// remembers it, so that the loader can run it again when the same library is
// loaded into a later simulated process of this program.
void moduleInitializer(std::function<void()> step);

}  // namespace platform::substrate
