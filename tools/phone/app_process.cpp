#include "tools/phone/app_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace tools::phone {
namespace {

using namespace std::chrono_literals;
constexpr auto kGracePeriod = 2s;

long long millisecondsSinceEpoch() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Pipes whose ends the child does not inherit except through dup2.
bool makePipe(std::array<int, 2>& ends) { return ::pipe2(ends.data(), O_CLOEXEC) == 0; }

}  // namespace

AppProcess::AppProcess(std::string name, std::vector<std::string> argv,
                       std::vector<std::string> startLines, EventLog& log)
    : name_(std::move(name)),
      argv_(std::move(argv)),
      startLines_(std::move(startLines)),
      log_(log) {}

AppProcess::~AppProcess() { stop(); }

void AppProcess::start() {
  std::lock_guard lock(mutex_);
  startLocked();
}

void AppProcess::restart() {
  std::lock_guard lock(mutex_);
  stopLocked();
  startLocked();
}

void AppProcess::stop() {
  std::lock_guard lock(mutex_);
  stopLocked();
}

void AppProcess::feed(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (input_ < 0 || !writeAll(input_, line + "\n")) {
    log_.add({{"app", name_}, {"err", "the app is not running: the input was dropped"}});
    return;
  }
  // Every page shows what was given to the app, as the app's own output.
  log_.add({{"app", name_}, {"in", nlohmann::json::parse(line, nullptr, false)}});
}

void AppProcess::startLocked() {
  std::array<int, 2> in{}, out{}, err{};
  if (!makePipe(in) || !makePipe(out) || !makePipe(err)) {
    log_.add({{"app", name_}, {"err", std::string("cannot make pipes: ") + std::strerror(errno)}});
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  // The app gets the default handling of the signals the server blocks or
  // ignores, and a process group of its own, so that a Ctrl-C at the terminal
  // reaches the server, which ends the apps in order.
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
  std::vector<char*> argv;
  for (auto& argument : argv_) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const int failed = posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  for (int end : {in[0], out[1], err[1]}) ::close(end);
  if (failed != 0) {
    for (int end : {in[1], out[0], err[0]}) ::close(end);
    log_.add({{"app", name_}, {"err", std::string("cannot start: ") + std::strerror(failed)}});
    return;
  }
  input_ = in[1];
  {
    std::lock_guard exitLock(exitMutex_);
    running_ = true;
  }
  log_.add({{"app", name_}, {"state", "running"}, {"started", millisecondsSinceEpoch()}});
  output_ = std::thread([this, fd = out[0]] { readLines(fd, true); });
  errors_ = std::thread([this, fd = err[0]] { readLines(fd, false); });
  for (const auto& line : startLines_) writeAll(input_, line + "\n");
}

void AppProcess::stopLocked() {
  if (input_ < 0) return;
  ::close(input_);
  input_ = -1;
  {
    std::unique_lock exitLock(exitMutex_);
    if (!exited_.wait_for(exitLock, kGracePeriod, [&] { return !running_; })) {
      ::kill(pid_, SIGTERM);
    }
  }
  output_.join();
  errors_.join();
}

// Reads the app's output until it closes; the output reader then collects
// the app's exit.
void AppProcess::readLines(int fd, bool output) {
  std::string pending;
  std::array<char, 4096> buffer{};
  const auto emit = [&](const std::string& line) {
    if (!output) {
      log_.add({{"app", name_}, {"err", line}});
      return;
    }
    auto json = nlohmann::json::parse(line, nullptr, /*allow_exceptions=*/false);
    log_.add({{"app", name_}, {"out", json.is_discarded() ? nlohmann::json(line) : json}});
  };
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    pending.append(buffer.data(), static_cast<std::size_t>(got));
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      emit(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
  }
  if (!pending.empty()) emit(pending);
  ::close(fd);
  if (!output) return;
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    log_.add({{"app", name_}, {"state", "crashed"}, {"signal", WTERMSIG(status)}});
  } else {
    log_.add({{"app", name_}, {"state", "exited"}, {"status", WEXITSTATUS(status)}});
  }
  {
    std::lock_guard exitLock(exitMutex_);
    running_ = false;
  }
  exited_.notify_all();
}

}  // namespace tools::phone
