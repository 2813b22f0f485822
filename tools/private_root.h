#pragma once
// A device root of the command's own, a fresh folder in the system's
// temporary folder, for runs that must leave the user's root as it is; it is
// removed with all it holds when it goes.
#include <filesystem>
#include <string_view>

#include "platform/foundation/result.h"

namespace tools {

class PrivateRoot {
 public:
  // prefix names the folder ("mornaq-demo"); a unique suffix follows.
  static platform::Result<PrivateRoot> make(std::string_view prefix);

  ~PrivateRoot();
  PrivateRoot(PrivateRoot&& other) noexcept;
  PrivateRoot& operator=(PrivateRoot&&) = delete;
  PrivateRoot(const PrivateRoot&) = delete;
  PrivateRoot& operator=(const PrivateRoot&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  explicit PrivateRoot(std::filesystem::path path) : path_(std::move(path)) {}

  std::filesystem::path path_;  // empty once moved from
};

}  // namespace tools
