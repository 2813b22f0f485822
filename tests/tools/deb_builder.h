#pragma once
// Debian packages made by a test with libarchive, well formed or not, so that
// what a broken or hostile package holds is written here, not kept as files.
#include <cstdint>
#include <string>
#include <vector>

namespace tools_test {

// A member of the data, by the name the archive gives it ("./Library/x").
struct TarMember {
  enum class Kind { File, SymbolicLink, HardLink, CharacterDevice };
  std::string name{};
  std::string content{};  // a file's; a link's target
  Kind kind = Kind::File;
  std::int64_t size = -1;  // a file's size when not its content's (zeros follow)
};

// A control file for the add-on's package at this version and architecture.
std::string controlFile(const std::string& version, const std::string& architecture);

// The package as dpkg-deb lays it out: an ar container of debian-binary,
// control.tar.gz and data.tar.gz. The data holds the folders above each
// member named from "./" first, as dpkg-deb writes them.
std::string debBytes(const std::string& control, const std::vector<TarMember>& data);

}  // namespace tools_test
