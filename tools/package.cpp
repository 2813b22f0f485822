#include "tools/package.h"

#include <fmt/format.h>

#include <array>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "common/settings_format.h"
#include "tools/deb_archive.h"
#include "tools/own_files.h"
#include "tools/package_list.h"
#include "tools/staged_files.h"

namespace tools {
namespace {

namespace fs = std::filesystem;
using platform::Failure;
using platform::Result;

// Set by the build (package/CMakeLists.txt).
constexpr std::string_view kPackageName = MORNAQ_PACKAGE_NAME;
constexpr std::string_view kArchitecture = MORNAQ_ARCHITECTURE;

// What the package manager checks before it unpacks anything.
Result<> checkControl(const deb::ControlFields& control) {
  for (const auto& [field, name] : std::array<std::pair<const char*, const char*>, 3>{
           {{"package", "Package"}, {"version", "Version"}, {"architecture", "Architecture"}}}) {
    if (!control.contains(field) || control.at(field).empty()) {
      return deb::refusal(fmt::format("its control file gives no {}", name));
    }
  }
  if (control.at("package") != kPackageName) {
    return deb::refusal(
        fmt::format("it is the package {}, not {}", control.at("package"), kPackageName));
  }
  const std::string& architecture = control.at("architecture");
  if (architecture != kArchitecture && architecture != "all") {
    return deb::refusal(
        fmt::format("it is built for {}, and this machine is {}", architecture, kArchitecture));
  }
  return {};
}

// Lays the data beside its targets, with the list that records it.
Result<std::vector<std::string>> stageData(deb::Package& package, StagedFiles& staged) {
  std::vector<std::string> listed;
  auto read = package.readData([&](const deb::DataMember& member, const deb::Content& content) {
    listed.push_back(member.devicePath);
    return member.folder ? staged.folder(member.devicePath)
                         : staged.file(member.devicePath, member.permissions, content);
  });
  if (!read) return read.failure();
  const std::string list = packageListText(listed);
  auto recorded = staged.file(kPackageListPath, 0644,
                              [&list](const deb::BlockSink& sink) { return sink(list); });
  if (!recorded) return recorded.failure();
  return listed;
}

Result<std::string> install(const platform::DeviceRoot& root, const fs::path& file) {
  auto package = deb::Package::open(file);
  if (!package) return package.failure();
  if (auto checked = checkControl(package->control()); !checked) return checked.failure();
  const auto before = readPackageList(root);
  StagedFiles staged(root);
  auto listed = stageData(*package, staged);
  if (!listed) return listed.failure();
  if (auto committed = staged.commit(); !committed) return committed.failure();
  if (before) {
    const std::set<std::string> kept(listed->begin(), listed->end());
    if (auto removed = removeListed(root, *before, kept); !removed) return removed.failure();
  }
  return package->control().at("version");
}

// Whether a file of the preferences folder is one of the add-on's settings
// files or what their writers leave beside them: the lock ("NAME.lock"), the
// copies moved aside ("NAME.malformed-N") and a temporary file a writer left
// (".NAME.XXXXXX").
bool isSettingsFile(const std::string& found) {
  for (std::string_view settings :
       {mornaq::format::kMainSettingsPath, mornaq::format::kRuleSettingsPath,
        mornaq::format::kReplyHistoryPath}) {
    const std::string name = fs::path(settings).filename().string();
    if (found == name || found.starts_with(name + ".") || found.starts_with("." + name + ".")) {
      return true;
    }
  }
  return false;
}

Result<> purgeSettings(const platform::DeviceRoot& root) {
  const std::string folder(mornaq::format::kPreferencesFolder);
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(*root.map(folder), error)) {
    if (isSettingsFile(entry.path().filename().string())) {
      found.push_back(entry.path().filename().string());
    }
  }
  for (const auto& name : found) {
    if (auto removed = removeWithEmptyFolders(root, folder + name); !removed) return removed;
  }
  return {};
}

}  // namespace

Result<std::string> installPackage(const fs::path& root, const fs::path& package) {
  auto installed = install(normalRoot(root), package);
  if (installed || !deb::isRefusal(installed.failure())) return installed;
  return deb::refusal(fmt::format("refused {}: {}", package.string(), installed.reason()));
}

Result<std::string> installPackage(const fs::path& root) {
  const auto package = ownFile(MORNAQ_PACKAGE_FILE);
  if (!package) return package.failure();
  return installPackage(root, *package);
}

bool isInstalled(const fs::path& root) {
  std::error_code ignored;
  return fs::is_regular_file(*normalRoot(root).map(kPackageListPath), ignored);
}

Result<> uninstallPackage(const fs::path& root, bool purge) {
  const platform::DeviceRoot device = normalRoot(root);
  const auto listed = readPackageList(device);
  const bool missing = !listed && listed.failure().code == std::errc::no_such_file_or_directory;
  if (!listed && !missing) return listed.failure();
  if (missing && !purge) {
    return Failure{fmt::format("Mornaq is not installed in {}", root.string())};
  }
  if (listed) {
    if (auto removed = removeListed(device, *listed); !removed) return removed;
    if (auto removed = removeWithEmptyFolders(device, kPackageListPath); !removed) return removed;
  }
  return purge ? purgeSettings(device) : Result<>();
}

}  // namespace tools
