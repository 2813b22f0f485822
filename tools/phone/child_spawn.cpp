#include "tools/phone/child_spawn.h"

#include <signal.h>

#include <cstring>

extern char** environ;

namespace tools::phone {

platform::Result<pid_t> spawnChild(std::vector<std::string> argv,
                                   const posix_spawn_file_actions_t& actions) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM}) sigaddset(&signals, signal);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  std::vector<char*> pointers;
  for (auto& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  pid_t pid = -1;
  const int failed =
      posix_spawn(&pid, pointers[0], &actions, &attributes, pointers.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) return platform::Failure{std::string("cannot start: ") + std::strerror(failed)};
  return pid;
}

}  // namespace tools::phone
