#include "platform/substrate/loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace platform::substrate {
namespace {

// On the phone every app is its own OS process, so a library's initialisers
// run once per app. Here one program may host several simulated apps in turn,
// while dlopen runs a library's initialisers only the first time. So the
// loader records the steps each library hands over while it is first opened,
// and replays them, in the same order, whenever a later app loads it again.
using Steps = std::vector<std::function<void()>>;

std::mutex loadedMutex;
std::map<void*, Steps> loadedLibraries;  // by dlopen handle; never closed
thread_local Steps* stepsOfLibraryBeingOpened = nullptr;

bool filterNamesBundle(const Dictionary& filterPlist, const std::string& bundleIdentifier) {
  const Dictionary* filter = lookUp(filterPlist, "Filter").dictionary();
  const Array* bundles = filter ? lookUp(*filter, "Bundles").array() : nullptr;
  if (!bundles) return false;
  return std::any_of(bundles->begin(), bundles->end(), [&](const Value& bundle) {
    return bundle.string() && *bundle.string() == bundleIdentifier;
  });
}

// The device paths of the filter plists, in file-name order.
std::vector<std::string> filterPlists() {
  std::vector<std::string> names;
  const auto folder = Process::current().root().map(kDynamicLibrariesFolder);
  std::error_code error;
  if (!folder || !std::filesystem::is_directory(*folder, error)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(*folder, error)) {
    if (entry.path().extension() == ".plist") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  for (auto& name : names) name = kDynamicLibrariesFolder + name;
  return names;
}

void openLibrary(const std::filesystem::path& library) {
  Steps steps;
  stepsOfLibraryBeingOpened = &steps;
  void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  stepsOfLibraryBeingOpened = nullptr;
  if (!handle) {
    NSLog(fmt::format("Loader: cannot load {}: {}", library.string(), ::dlerror()));
    return;
  }
  Steps replay;
  {
    std::lock_guard lock(loadedMutex);
    auto [known, firstLoad] = loadedLibraries.try_emplace(handle, std::move(steps));
    if (firstLoad) return;
    replay = known->second;
  }
  for (const auto& step : replay) step();
}

}  // namespace

void loadHookLibraries() {
  const std::string& bundleIdentifier = Process::current().bundleIdentifier();
  for (const auto& filterPath : filterPlists()) {
    if (!filterNamesBundle(readPlist(filterPath), bundleIdentifier)) continue;
    auto library = Process::current().root().map(filterPath);
    library->replace_extension(".dylib");
    openLibrary(*library);
  }
}

void moduleInitializer(std::function<void()> step) {
  step();
  if (stepsOfLibraryBeingOpened) stepsOfLibraryBeingOpened->push_back(std::move(step));
}

}  // namespace platform::substrate
