#include "tools/package.h"

#include <system_error>

#include <fmt/format.h>

#include "platform/foundation/device_root.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = MORNAQ_SOURCE_DIR;
// The bundle's resources as the build lays them: the plists, and the images
// rendered from their SVG sources.
const fs::path kPrefsResources = MORNAQPREFS_RESOURCES_DIR;

// Copied beside the target and renamed over it, so that an app running from
// the root keeps the file it opened and never sees half a new one.
platform::Result<> installItem(const PackageItem& item, const platform::DeviceRoot& root) {
  const fs::path target = *root.map(item.devicePath);
  const fs::path partial = fs::path(target).concat(".partial");
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (!error) fs::copy_file(item.source, partial, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(partial, target, error);
  if (!error) return {};
  std::error_code ignored;
  fs::remove(partial, ignored);
  return platform::systemFailure(
      error, fmt::format("cannot install {} as {}: {}", item.source.string(), target.string(),
                         error.message()));
}

}  // namespace

const std::vector<PackageItem>& packageItems() {
  static const std::vector<PackageItem> items = {
      {MORNAQ_DYLIB, "/Library/MobileSubstrate/DynamicLibraries/Mornaq.dylib"},
      {kSourceDir / "Mornaq/Mornaq.plist",
       "/Library/MobileSubstrate/DynamicLibraries/Mornaq.plist"},
      {kPrefsResources / "Empty.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/Empty.plist"},
      // The settings bundle and the entry through which the Settings app finds it.
      {MORNAQPREFS_EXECUTABLE, "/Library/PreferenceBundles/MornaqPrefs.bundle/MornaqPrefs"},
      {kPrefsResources / "Info.plist", "/Library/PreferenceBundles/MornaqPrefs.bundle/Info.plist"},
      {kPrefsResources / "Root.plist", "/Library/PreferenceBundles/MornaqPrefs.bundle/Root.plist"},
      {kPrefsResources / "Global.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/Global.plist"},
      {kPrefsResources / "Activator.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/Activator.plist"},
      {kPrefsResources / "TweakList.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/TweakList.plist"},
      {kPrefsResources / "empty.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/empty.plist"},
      {kPrefsResources / "Match.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/Match.plist"},
      {kPrefsResources / "AppSettings.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/AppSettings.plist"},
      {kPrefsResources / "BlackList.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/BlackList.plist"},
      {kPrefsResources / "Policy.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/Policy.plist"},
      {kPrefsResources / "History.plist",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/History.plist"},
      {kPrefsResources / "header.png", "/Library/PreferenceBundles/MornaqPrefs.bundle/header.png"},
      {kPrefsResources / "icon.png", "/Library/PreferenceBundles/MornaqPrefs.bundle/icon.png"},
      {kPrefsResources / "icon@2x.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/icon@2x.png"},
      {kPrefsResources / "icon@3x.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/icon@3x.png"},
      {kPrefsResources / "Contact@2x.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/Contact@2x.png"},
      {kPrefsResources / "ContactBl@2x.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/ContactBl@2x.png"},
      {kPrefsResources / "ListenerOn.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/ListenerOn.png"},
      {kPrefsResources / "ListenerOn@3x.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/ListenerOn@3x.png"},
      {kPrefsResources / "ListenerOff.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/ListenerOff.png"},
      {kPrefsResources / "ListenerOff@3x.png",
       "/Library/PreferenceBundles/MornaqPrefs.bundle/ListenerOff@3x.png"},
      {kSourceDir / "MornaqPrefs/entry.plist",
       "/Library/PreferenceLoader/Preferences/MornaqPrefs.plist"},
  };
  return items;
}

platform::Result<> installPackage(const fs::path& root) {
  const platform::DeviceRoot deviceRoot(root);
  for (const auto& item : packageItems()) {
    if (auto installed = installItem(item, deviceRoot); !installed) return installed;
  }
  return {};
}

}  // namespace tools
