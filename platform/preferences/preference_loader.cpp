#include "platform/preferences/preference_loader.h"

#include <dlfcn.h>
#include <fmt/format.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace platform::preferences {
namespace {

std::vector<std::string> entryFileNames() {
  std::vector<std::string> names;
  auto folder = Process::current().root().map(kEntriesFolder);
  std::error_code error;
  if (!folder || !std::filesystem::is_directory(*folder, error)) return names;
  for (const auto& file : std::filesystem::directory_iterator(*folder, error)) {
    if (file.path().extension() == ".plist") names.push_back(file.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Opens the bundle's executable and lets it register its classes. The
// library stays open for the life of the program, as bundles do on the phone.
bool openBundle(const std::string& bundlePath, const std::string& bundleName) {
  const std::string executable = fmt::format("{}/{}", bundlePath, bundleName);
  auto file = Process::current().root().map(executable);
  if (!file) return false;
  void* library = ::dlopen(file->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    NSLog(fmt::format("PreferenceLoader: cannot open {}: {}", executable, ::dlerror()));
    return false;
  }
  auto registerClasses =
      reinterpret_cast<RegisterClassesFunction>(::dlsym(library, kRegisterClassesSymbol));
  if (!registerClasses) {
    NSLog(fmt::format("PreferenceLoader: {} exports no {}", executable, kRegisterClassesSymbol));
    return false;
  }
  registerClasses();
  return true;
}

SpecifierRef loadEntry(const std::string& fileName) {
  const std::string path = fmt::format("{}/{}", kEntriesFolder, fileName);
  const Dictionary entryFile = readPlist(path);
  const Dictionary* entry = lookUp(entryFile, "entry").dictionary();
  auto bundleName = entry ? lookUp(*entry, "bundle").stringValue() : std::nullopt;
  auto cell =
      entry ? cellTypeNamed(lookUp(*entry, "cell").stringValue().value_or("")) : std::nullopt;
  if (!bundleName || !cell) {
    NSLog(fmt::format("PreferenceLoader: {} has no entry with a bundle and a cell", path));
    return nullptr;
  }
  const std::string bundlePath = fmt::format("{}/{}.bundle", kBundlesFolder, *bundleName);
  auto principalClass =
      lookUp(readPlist(bundlePath + "/Info.plist"), "NSPrincipalClass").stringValue();
  if (!principalClass) {
    NSLog(fmt::format("PreferenceLoader: {}/Info.plist names no NSPrincipalClass", bundlePath));
    return nullptr;
  }
  if (!openBundle(bundlePath, *bundleName)) return nullptr;
  auto row =
      PSSpecifier::preferenceSpecifierNamed(lookUp(*entry, "label").stringValue(), nullptr,
                                            std::nullopt, std::nullopt, principalClass, *cell);
  for (const auto& [key, value] : *entry) row->setProperty(value, key);
  return row;
}

}  // namespace

Specifiers loadPreferenceEntries() {
  Specifiers rows;
  for (const auto& fileName : entryFileNames()) {
    if (auto row = loadEntry(fileName)) rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace platform::preferences
