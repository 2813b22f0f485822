#include "tests/tools/deb_builder.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include <memory>
#include <set>

namespace tools_test {
namespace {

la_ssize_t append(archive*, void* bytes, const void* block, std::size_t size) {
  static_cast<std::string*>(bytes)->append(static_cast<const char*>(block), size);
  return static_cast<la_ssize_t>(size);
}

// One entry; a folder when its name ends with "/".
void writeEntry(archive* writer, const TarMember& member) {
  std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                      archive_entry_free);
  archive_entry* e = entry.get();
  const bool folder = member.name.ends_with('/');
  archive_entry_set_pathname(e, member.name.c_str());
  archive_entry_set_perm(e, folder ? 0755 : 0644);
  archive_entry_set_filetype(e, folder ? AE_IFDIR : AE_IFREG);
  const auto size = member.size >= 0 ? member.size : std::int64_t(member.content.size());
  if (member.kind == TarMember::Kind::File && !folder) archive_entry_set_size(e, size);
  if (member.kind == TarMember::Kind::SymbolicLink) {
    archive_entry_set_filetype(e, AE_IFLNK);
    archive_entry_set_symlink(e, member.content.c_str());
  } else if (member.kind == TarMember::Kind::HardLink) {
    archive_entry_set_hardlink(e, member.content.c_str());
  } else if (member.kind == TarMember::Kind::CharacterDevice) {
    archive_entry_set_filetype(e, AE_IFCHR);
    archive_entry_set_rdev(e, makedev(1, 3));
  }
  ASSERT_EQ(archive_write_header(writer, e), ARCHIVE_OK) << archive_error_string(writer);
  if (archive_entry_size(e) > 0)
    archive_write_data(writer, member.content.data(), member.content.size());
}

// An archive of the members in this format: gzip-compressed tar or plain ar.
std::string archiveBytes(bool tar, const std::vector<TarMember>& members) {
  std::string bytes;
  std::unique_ptr<archive, decltype(&archive_write_free)> writer(archive_write_new(),
                                                                 archive_write_free);
  if (tar) {
    archive_write_set_format_gnutar(writer.get());
    archive_write_add_filter_gzip(writer.get());
  } else {
    archive_write_set_format_ar_svr4(writer.get());
  }
  archive_write_set_bytes_in_last_block(writer.get(), 1);
  EXPECT_EQ(archive_write_open(writer.get(), &bytes, nullptr, append, nullptr), ARCHIVE_OK);
  for (const auto& member : members) writeEntry(writer.get(), member);
  EXPECT_EQ(archive_write_close(writer.get()), ARCHIVE_OK) << archive_error_string(writer.get());
  return bytes;
}

// The members, each after the folders above it that came before none (not
// for a name that leaves "./").
std::vector<TarMember> withFolders(const std::vector<TarMember>& members) {
  std::vector<TarMember> all;
  std::set<std::string> folders;
  for (const auto& member : members) {
    const std::string& name = member.name;
    const bool inside = name.starts_with("./") && name.find("..") == std::string::npos;
    for (auto slash = name.find('/');
         inside && slash != std::string::npos && slash + 1 < name.size();
         slash = name.find('/', slash + 1)) {
      if (folders.insert(name.substr(0, slash + 1)).second) {
        all.push_back({.name = name.substr(0, slash + 1)});
      }
    }
    if (!name.ends_with('/') || folders.insert(name).second) all.push_back(member);
  }
  return all;
}

}  // namespace

std::string controlFile(const std::string& version, const std::string& architecture) {
  return "Package: com.corvane.halbrin.mornaq\nName: Mornaq\nVersion: " + version +
         "\nArchitecture: " + architecture + "\nDescription: Automatic replies\n";
}

std::string debBytes(const std::string& control, const std::vector<TarMember>& data) {
  return archiveBytes(false,
                      {{.name = "debian-binary", .content = "2.0\n"},
                       {.name = "control.tar.gz",
                        .content = archiveBytes(true, {{.name = "./control", .content = control}})},
                       {.name = "data.tar.gz", .content = archiveBytes(true, withFolders(data))}});
}

}  // namespace tools_test
