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

#include "tools/phone/child_spawn.h"

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

// Both ends of a pipe, neither inherited by a child except through dup2.
struct Pipe {
  Descriptor read;
  Descriptor write;
};

platform::Result<Pipe> makePipe() {
  std::array<int, 2> ends{};
  if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
    return platform::Failure{std::string("cannot make pipes: ") + std::strerror(errno)};
  }
  return Pipe{Descriptor(ends[0]), Descriptor(ends[1])};
}

// Calls onLine with each line read from fd until it ends, the last one also without its line end.
template <class OnLine>
void forEachLine(const Descriptor& fd, OnLine onLine) {
  std::string pending;
  std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    pending.append(buffer.data(), static_cast<std::size_t>(got));
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      onLine(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
  }
  if (!pending.empty()) onLine(pending);
}

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
  if (!input_ || !writeAll(input_.get(), line + "\n")) {
    log_.add({{"app", name_}, {"err", "the app is not running: the input was dropped"}});
    return;
  }
  // Every page shows what was given to the app, as the app's own output.
  log_.add({{"app", name_}, {"in", nlohmann::json::parse(line, nullptr, false)}});
}

void AppProcess::startLocked() {
  if (auto started = spawnLocked(); !started) {
    log_.add({{"app", name_}, {"err", started.reason()}});
  }
}

platform::Result<> AppProcess::spawnLocked() {
  auto in = makePipe();
  PLATFORM_TRY(in);
  auto out = makePipe();
  PLATFORM_TRY(out);
  auto err = makePipe();
  PLATFORM_TRY(err);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in->read.get(), 0);
  posix_spawn_file_actions_adddup2(&actions, out->write.get(), 1);
  posix_spawn_file_actions_adddup2(&actions, err->write.get(), 2);
  auto pid = spawnChild(argv_, actions);
  posix_spawn_file_actions_destroy(&actions);
  PLATFORM_TRY(pid);
  pid_ = *pid;
  // The child's ends close with their pipes when this returns; the server keeps its own.
  input_ = std::move(in->write);
  {
    std::lock_guard exitLock(exitMutex_);
    running_ = true;
  }
  log_.add({{"app", name_}, {"state", "running"}, {"started", millisecondsSinceEpoch()}});
  output_ = std::thread([this, fd = std::move(out->read)]() mutable { readOutput(std::move(fd)); });
  errors_ = std::thread([this, fd = std::move(err->read)]() mutable { readErrors(std::move(fd)); });
  // An app that cannot take its start lines has ended already, which its exit event tells.
  for (const auto& line : startLines_) writeAll(input_.get(), line + "\n");
  return {};
}

void AppProcess::stopLocked() {
  if (!input_) return;
  input_.reset();
  {
    std::unique_lock exitLock(exitMutex_);
    if (!exited_.wait_for(exitLock, kGracePeriod, [&] { return !running_; })) {
      ::kill(pid_, SIGTERM);
    }
  }
  output_.join();
  errors_.join();
}

void AppProcess::readOutput(Descriptor output) {
  forEachLine(output, [this](const std::string& line) {
    auto json = nlohmann::json::parse(line, nullptr, /*allow_exceptions=*/false);
    log_.add({{"app", name_}, {"out", json.is_discarded() ? nlohmann::json(line) : json}});
  });
  output.reset();
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

void AppProcess::readErrors(Descriptor errors) {
  forEachLine(errors, [this](const std::string& line) {
    log_.add({{"app", name_}, {"err", line}});
  });
}

}  // namespace tools::phone
