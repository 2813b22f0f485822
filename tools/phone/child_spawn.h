#pragma once
// A child process of `mornaq phone`: started with the default handling of the
// signals the server blocks or ignores, and in a process group of its own, so
// that a Ctrl-C at the terminal reaches the server, which ends its children
// in order.
#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/foundation/result.h"

namespace tools::phone {

// Starts argv (argv[0] the program) with the descriptors actions sets up.
platform::Result<pid_t> spawnChild(std::vector<std::string> argv,
                                   const posix_spawn_file_actions_t& actions);

}  // namespace tools::phone
