#pragma once
// The add-on's package installed into a device root and removed again, as the
// phone's package manager does it. The build makes the package (a .deb, see
// docs/architecture.md); the command finds it among its own files.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace tools {

// What the package laid down, one device path a line ("/." first, folders
// included), as the package manager records it.
inline constexpr std::string_view kPackageListPath =
    "/var/lib/dpkg/info/com.corvane.halbrin.mornaq.list";

// Installs the package file into the device root: checks its control fields,
// lays every file of its data beside its target and renames them all into
// place, then records the list. Over an earlier install, the files it no
// longer holds go; settings files are never touched. A package that is broken
// or breaks a rule (deb::isRefusal) leaves the root as it was. Gives the
// version installed.
platform::Result<std::string> installPackage(const std::filesystem::path& root,
                                             const std::filesystem::path& package);
// The same with the package built with this command (ownFile).
platform::Result<std::string> installPackage(const std::filesystem::path& root);

// Whether the root has the package's list, as an install leaves it.
bool isInstalled(const std::filesystem::path& root);

// Removes every file the list names, then the list, and the folders that
// leaves empty; nothing else in the root. With purge, the add-on's settings
// files go too (MainSettings, RuleSettings and the reply history, with their
// lock files and the copies moved aside), also when the package is already
// removed. Fails when there is nothing to remove.
platform::Result<> uninstallPackage(const std::filesystem::path& root, bool purge);

}  // namespace tools
