#include "tools/own_files.h"

#include <fmt/format.h>

#include <system_error>

namespace tools {

namespace fs = std::filesystem;

platform::Result<fs::path> ownFile(std::string_view name) {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) return platform::systemFailure(error, "cannot tell where this program lies");
  for (fs::path folder = program.parent_path();; folder = folder.parent_path()) {
    for (const fs::path& candidate : {folder / name, folder / "share/mornaq" / name}) {
      if (fs::is_regular_file(candidate, error)) return candidate;
    }
    if (folder == folder.parent_path()) break;
  }
  return platform::Failure{fmt::format("cannot find {} in share/mornaq/ or the folders above {}",
                                       name, program.string())};
}

}  // namespace tools
