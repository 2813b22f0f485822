#pragma once
// A Debian package read as the phone's package manager reads it (libarchive):
// an ar container of "debian-binary" (format 2.x), control.tar and data.tar,
// in that order, each tar plain or compressed with gzip, xz or zstd. Every
// rule a package can break is checked before a member is handed on (the
// control file's form, deb_control.h; the members', deb_member_rules.h): what
// breaks one is refused (package_refusal.h), never trusted.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"
#include "tools/deb_control.h"
#include "tools/deb_member_rules.h"
#include "tools/package_refusal.h"

struct archive;

namespace tools::deb {

// The content of the member being handed on, given to a sink block by block.
using BlockSink = std::function<platform::Result<>(std::string_view block)>;
using Content = std::function<platform::Result<>(const BlockSink& sink)>;
using TakeMember = std::function<platform::Result<>(const DataMember&, const Content&)>;

// Frees a libarchive reader.
struct FreeArchive {
  void operator()(archive* reader) const;
};

class Package {
 public:
  // Opens the package and reads its control file.
  static platform::Result<Package> open(const std::filesystem::path& file);

  const ControlFields& control() const { return control_; }

  // Hands on each member of the data in the archive's order, then checks that
  // the archive ends there. Ends at the first failure, its own or take's.
  // Called once.
  platform::Result<> readData(const TakeMember& take);

 private:
  std::unique_ptr<archive, FreeArchive> container_;
  ControlFields control_;
};

}  // namespace tools::deb
