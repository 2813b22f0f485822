#include "tools/deb_member_rules.h"

#include <archive_entry.h>
#include <fmt/format.h>

#include <string_view>

#include "tools/deb_control.h"
#include "tools/package_refusal.h"

namespace tools::deb {
namespace {

using platform::Result;

// The device path of a data member's name ("./Library/x" is "/Library/x").
Result<std::string> devicePathOf(std::string_view name) {
  const std::string shown(name);
  if (name.starts_with('/')) {
    return refusal(fmt::format("member {} has an absolute path, outside the root", shown));
  }
  if (name == "." || name == "./") return std::string("/.");
  if (name.starts_with("./")) name.remove_prefix(2);
  if (name.ends_with('/')) name.remove_suffix(1);
  std::string path;
  for (const std::string_view part : split(name, '/')) {
    if (part == "..") {
      return refusal(fmt::format("member {} leads out of the root through \"..\"", shown));
    }
    if (part.empty() || part == ".") {
      return refusal(fmt::format("member {} has no clear path", shown));
    }
    (path += '/') += part;
  }
  if (path.empty()) return refusal("a member of the data has no name");
  return path;
}

}  // namespace

Result<DataMember> MemberRules::check(archive_entry* entry) {
  const std::string shown = archive_entry_pathname(entry) ? archive_entry_pathname(entry) : "";
  auto path = devicePathOf(shown);
  if (!path) return path.failure();
  DataMember member{.devicePath = *path,
                    .folder = archive_entry_filetype(entry) == AE_IFDIR,
                    .permissions = static_cast<unsigned>(archive_entry_perm(entry)) & 0777};
  if (archive_entry_hardlink(entry)) {
    return refusal(
        fmt::format("member {} is a hard link; a package holds files and folders only", shown));
  }
  if (archive_entry_filetype(entry) == AE_IFLNK) {
    return refusal(
        fmt::format("member {} is a symbolic link; a package holds files and folders only", shown));
  }
  if (!member.folder && (archive_entry_filetype(entry) != AE_IFREG || *path == "/.")) {
    return refusal(fmt::format(
        "member {} is a device or other special file; a package holds files and folders only",
        shown));
  }
  const std::int64_t size = archive_entry_size(entry);
  if (size > kMaxMemberBytes) {
    return refusal(fmt::format("member {} holds {} bytes, over the {} MiB a member may hold", shown,
                               size, kMaxMemberBytes >> 20));
  }
  bytes_ += size;
  if (++members_ > kMaxMembers || bytes_ > kMaxDataBytes) {
    return refusal(fmt::format("its data holds more than {} members or {} GiB", kMaxMembers,
                               kMaxDataBytes >> 30));
  }
  if (!seen_.insert(*path).second) return refusal(fmt::format("member {} comes twice", shown));
  for (auto slash = path->find('/', 1); slash != std::string::npos;
       slash = path->find('/', slash + 1)) {
    if (files_.contains(path->substr(0, slash))) {
      return refusal(fmt::format("member {} lies inside a file", shown));
    }
  }
  if (!member.folder) files_.insert(*path);
  return member;
}

}  // namespace tools::deb
