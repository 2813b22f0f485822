#pragma once
// PreferenceLoader: how the Settings app finds the settings bundles of
// add-ons. An add-on lays an entry plist into
// "/Library/PreferenceLoader/Preferences/"; its "entry" dictionary is the row
// the Settings app shows ("label", "cell", "bundle", "isController"). The
// bundle it names is the folder "/Library/PreferenceBundles/<bundle>.bundle",
// holding the bundle's executable (a shared library named like the bundle),
// its Info.plist (whose NSPrincipalClass is the page the row opens) and its
// resources.
#include <string_view>

#include "platform/preferences/specifier.h"

namespace platform::preferences {

inline constexpr std::string_view kEntriesFolder = "/Library/PreferenceLoader/Preferences";
inline constexpr std::string_view kBundlesFolder = "/Library/PreferenceBundles";

// The function each bundle's executable exports, with C linkage, to register
// its classes into the current process (class_registry.h). The phone's
// runtime learns a bundle's classes once, when the image loads; here dlopen
// runs module initialisers once per OS process, while a test may open the
// same bundle in several simulated processes. So the Settings app calls this
// after every open, and registration is idempotent per process.
inline constexpr const char* kRegisterClassesSymbol = "PSBundleRegisterClasses";
using RegisterClassesFunction = void (*)();

// Reads the entry plists in file-name order, opens the bundle each names and
// gives one row per bundle that loaded: a link (the entry's cell and label)
// to the bundle's principal class, with the entry's entries as properties.
// An entry or bundle that cannot be used is logged and left out.
Specifiers loadPreferenceEntries();

}  // namespace platform::preferences
