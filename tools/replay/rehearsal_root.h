#pragma once
// The device root a rehearsal runs in: a private one with the package
// installed and a copy of the phone's settings and rules, the master switch
// on, and no reply history. Nothing under the phone's root is written.
#include <filesystem>

#include "platform/foundation/result.h"
#include "tools/private_root.h"

namespace tools::replay {

struct RehearsalRoot {
  PrivateRoot root;
  // Whether Mornaq is switched on on the phone; the rehearsal takes it as on.
  bool switchOnOnPhone = false;
};

// phoneRoot's MainSettings (a missing one read as the seed, as the app would
// seed it) and RuleSettings, in a fresh private root.
platform::Result<RehearsalRoot> makeRehearsalRoot(const std::filesystem::path& phoneRoot);

}  // namespace tools::replay
