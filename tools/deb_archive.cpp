#include "tools/deb_archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <fmt/format.h>

#include <string_view>
#include <vector>

namespace tools::deb {
namespace {

using platform::Failure;
using platform::Result;

std::string reasonOf(archive* reader) {
  const char* text = archive_error_string(reader);
  return text ? text : "it cannot be read";
}

using Archive = std::unique_ptr<archive, FreeArchive>;

// The container's next member's name; empty at the end.
Result<std::string> nextMember(archive* container) {
  archive_entry* entry = nullptr;
  const int status = archive_read_next_header(container, &entry);
  if (status == ARCHIVE_EOF) return std::string();
  if (status != ARCHIVE_OK) return refusal("the archive is broken: " + reasonOf(container));
  const char* name = archive_entry_pathname(entry);
  return std::string(name ? name : "?");
}

// "control.tar" or "data.tar", plain or with a compression dpkg-deb writes.
bool isTarMember(std::string_view name, std::string_view kind) {
  if (!name.starts_with(kind) || !name.substr(kind.size()).starts_with(".tar")) return false;
  const std::string_view compression = name.substr(kind.size() + 4);
  return compression.empty() || compression == ".gz" || compression == ".xz" ||
         compression == ".zst";
}

// The tar in the container's current member, read as the container streams
// it, so that nothing is unpacked twice or kept whole.
class TarMember {
 public:
  TarMember(archive* container, std::string_view what)
      : container_(container), what_(what), tar_(archive_read_new()) {
    archive_read_support_format_tar(tar_.get());
    archive_read_support_filter_gzip(tar_.get());
    archive_read_support_filter_xz(tar_.get());
    archive_read_support_filter_zstd(tar_.get());
  }
  TarMember(const TarMember&) = delete;
  TarMember& operator=(const TarMember&) = delete;

  Result<> open() {
    if (archive_read_open(tar_.get(), this, nullptr, readContainer, nullptr) != ARCHIVE_OK) {
      return broken();
    }
    return {};
  }

  // The next entry; null at the end.
  Result<archive_entry*> next() {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(tar_.get(), &entry);
    if (status == ARCHIVE_EOF) return static_cast<archive_entry*>(nullptr);
    if (status != ARCHIVE_OK) return broken();
    return entry;
  }

  // The current entry's content, block by block.
  Result<> read(const BlockSink& take) {
    for (;;) {
      const la_ssize_t count = archive_read_data(tar_.get(), buffer_.data(), buffer_.size());
      if (count == 0) return {};
      if (count < 0) return broken();
      if (auto taken = take({buffer_.data(), static_cast<std::size_t>(count)}); !taken) {
        return taken;
      }
    }
  }

 private:
  static la_ssize_t readContainer(archive*, void* self, const void** block) {
    auto& member = *static_cast<TarMember*>(self);
    const la_ssize_t count = archive_read_data(member.container_, member.containerBuffer_.data(),
                                               member.containerBuffer_.size());
    if (count < 0) member.containerError_ = reasonOf(member.container_);
    *block = member.containerBuffer_.data();
    return count;
  }

  Failure broken() const {
    return refusal(fmt::format("the {} archive is broken: {}", what_,
                               containerError_.empty() ? reasonOf(tar_.get()) : containerError_));
  }

  archive* container_;
  std::string what_;
  std::string containerError_;
  std::vector<char> containerBuffer_ = std::vector<char>(std::size_t{1} << 16);
  std::vector<char> buffer_ = std::vector<char>(std::size_t{1} << 16);
  Archive tar_;
};

// The control file of the control archive, whole.
Result<std::string> readControlFile(archive* container) {
  constexpr std::size_t kMaxControlBytes = 64 * 1024;
  TarMember tar(container, "control");
  if (auto opened = tar.open(); !opened) return opened.failure();
  std::string control;
  bool found = false;
  for (;;) {
    auto entry = tar.next();
    if (!entry) return entry.failure();
    if (!*entry) break;
    const std::string_view name =
        archive_entry_pathname(*entry) ? archive_entry_pathname(*entry) : "";
    if (name != "./control" && name != "control") continue;
    if (found) return refusal("it holds two control files");
    if (archive_entry_filetype(*entry) != AE_IFREG || archive_entry_hardlink(*entry)) {
      return refusal("its control file is not a regular file");
    }
    auto read = tar.read([&](std::string_view block) -> Result<> {
      control += block;
      if (control.size() > kMaxControlBytes) return refusal("its control file is over 64 KiB");
      return {};
    });
    if (!read) return read.failure();
    found = true;
  }
  if (!found) return refusal("it holds no control file");
  return control;
}

}  // namespace

void FreeArchive::operator()(archive* reader) const { archive_read_free(reader); }

Result<Package> Package::open(const std::filesystem::path& file) {
  Package package;
  package.container_.reset(archive_read_new());
  archive* container = package.container_.get();
  archive_read_support_format_ar(container);
  if (archive_read_open_filename(container, file.c_str(), std::size_t{1} << 16) != ARCHIVE_OK) {
    return refusal("it cannot be read: " + reasonOf(container));
  }

  auto name = nextMember(container);
  if (!name) return name.failure();
  if (*name != "debian-binary") {
    return refusal(fmt::format("it is no Debian package: its first member is {}", *name));
  }
  std::string format(16, '\0');
  const la_ssize_t count = archive_read_data(container, format.data(), format.size());
  if (count < 0) return refusal("the archive is broken: " + reasonOf(container));
  format.resize(static_cast<std::size_t>(count));
  if (!format.starts_with("2.")) {
    return refusal(fmt::format("its format is {}, where 2.x is read", trimmed(format)));
  }

  name = nextMember(container);
  if (!name) return name.failure();
  if (!isTarMember(*name, "control")) {
    return refusal(fmt::format("its second member is {}, where control.tar is read", *name));
  }
  auto control = readControlFile(container);
  if (!control) return control.failure();
  auto fields = parseControl(*control);
  if (!fields) return fields.failure();
  package.control_ = std::move(*fields);
  return package;
}

Result<> Package::readData(const TakeMember& take) {
  archive* container = container_.get();
  auto name = nextMember(container);
  if (!name) return name.failure();
  if (!isTarMember(*name, "data")) {
    return refusal(fmt::format("its third member is {}, where data.tar is read",
                               name->empty() ? "missing" : *name));
  }
  TarMember data(container, "data");
  if (auto opened = data.open(); !opened) return opened;
  MemberRules rules;
  for (;;) {
    auto entry = data.next();
    if (!entry) return entry.failure();
    if (!*entry) break;
    auto member = rules.check(*entry);
    if (!member) return member.failure();
    const Content content = [&data](const BlockSink& sink) { return data.read(sink); };
    if (auto taken = take(*member, content); !taken) return taken;
  }
  name = nextMember(container);
  if (!name) return name.failure();
  if (!name->empty()) return refusal(fmt::format("member {} follows the data", *name));
  return {};
}

}  // namespace tools::deb
