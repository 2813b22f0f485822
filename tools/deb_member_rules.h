#pragma once
// What a member of a package's data may be: a folder or a regular file, at a
// path that stays in the root, of bounded size, each once. A member against
// the rules is refused (package_refusal.h) before anything of it is written.
#include <cstdint>
#include <set>
#include <string>

#include "platform/foundation/result.h"

struct archive_entry;

namespace tools::deb {

// Members of at most 64 MiB, 10,000 of them, 1 GiB in all.
inline constexpr std::int64_t kMaxMemberBytes = std::int64_t{64} << 20;
inline constexpr int kMaxMembers = 10'000;
inline constexpr std::int64_t kMaxDataBytes = std::int64_t{1} << 30;

// A member of the data by its device path ("/Library/..."; "/." for the top
// folder).
struct DataMember {
  std::string devicePath;
  bool folder = false;
  unsigned permissions = 0;  // read, write and execute bits only
};

// The rules over the whole data, member after member.
class MemberRules {
 public:
  platform::Result<DataMember> check(archive_entry* entry);

 private:
  int members_ = 0;
  std::int64_t bytes_ = 0;
  std::set<std::string> seen_;
  std::set<std::string> files_;
};

}  // namespace tools::deb
