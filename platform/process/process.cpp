#include "platform/process/process.h"

#include <unistd.h>

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/dispatch/main_queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/wall_clock.h"
#include "platform/runtime/runtime.h"

namespace platform {
namespace {

thread_local Process* currentProcess = nullptr;

std::unique_ptr<MainQueue> makeMainQueue(Process& process, Clock clock) {
  if (clock == Clock::Real) return std::make_unique<RealMainQueue>(process);
  return std::make_unique<VirtualMainQueue>(process);
}

// Time stamp, process name and pid, then the line: the phone's log format.
void printToStandardError(const std::string& processName, std::string_view line) {
  const auto now = std::chrono::system_clock::now();
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  std::fputs(fmt::format("{:%Y-%m-%d %H:%M:%S}.{:03d} {}[{}] {}\n",
                         std::chrono::floor<std::chrono::seconds>(now), millis.count(), processName,
                         ::getpid(), line)
                 .c_str(),
             stderr);
}

}  // namespace

Process::Process(ProcessOptions options)
    : options_(std::move(options)),
      root_(options_.deviceRoot),
      wallClockStart_(options_.wallClockStart.value_or(systemDate())),
      runtime_(std::make_unique<Runtime>()),
      mainQueue_(makeMainQueue(*this, options_.clock)),
      notificationCenter_(std::make_unique<NotificationCenter>()) {}

Process::~Process() {
  // The queue's tasks may still reach the process: stop them first.
  mainQueue_.reset();
}

void Process::log(std::string_view line) const {
  if (options_.logSink) {
    options_.logSink(line);
  } else {
    printToStandardError(options_.name, line);
  }
}

Process& Process::current() {
  if (!currentProcess) fatal("no current process on this thread");
  return *currentProcess;
}

Process* Process::currentOrNull() { return currentProcess; }

ProcessScope::ProcessScope(Process& process) : previous_(currentProcess) {
  currentProcess = &process;
}

ProcessScope::~ProcessScope() { currentProcess = previous_; }

void fatal(std::string_view message) {
  std::fprintf(stderr, "fatal: %.*s\n", static_cast<int>(message.size()), message.data());
  std::fflush(stderr);
  std::abort();
}

}  // namespace platform
