#pragma once
// A simulated app process: what one app owns on the phone. Its bundle
// identifier, its runtime (classes), its main queue, its in-process
// notification centre, its log sink and the device root. Processes share
// nothing but the files under the device root and the Darwin notifications.
//
// Code that runs "inside" a process finds it through Process::current(),
// which is set per thread by ProcessScope (the main queue sets it for every
// task it runs).
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <typeindex>
#include <unordered_map>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/value.h"

namespace platform {

class Runtime;
class MainQueue;
class NotificationCenter;

enum class Clock { Virtual, Real };

struct ProcessOptions {
  std::string bundleIdentifier;
  std::string name;  // shown in log lines, e.g. "WhatsApp"
  std::filesystem::path deviceRoot;
  Clock clock = Clock::Virtual;
  LogSink logSink;  // empty: the default sink (standard error)
  // The date at which a virtual clock starts; none: the system's date when
  // the process starts. A real clock always reads the system's date.
  std::optional<Date> wallClockStart = std::nullopt;
  // What a process on a virtual clock draws its random numbers from, so that a
  // run repeats exactly; a real clock draws from the system's entropy.
  std::uint64_t randomSeed = 0;
};

class Process {
 public:
  explicit Process(ProcessOptions options);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  const std::string& bundleIdentifier() const { return options_.bundleIdentifier; }
  const std::string& name() const { return options_.name; }
  const DeviceRoot& root() const { return root_; }
  Runtime& runtime() { return *runtime_; }
  MainQueue& mainQueue() { return *mainQueue_; }
  NotificationCenter& notificationCenter() { return *notificationCenter_; }
  Clock clock() const { return options_.clock; }
  Date wallClockStart() const { return wallClockStart_; }
  std::uint64_t randomSeed() const { return options_.randomSeed; }
  void log(std::string_view line) const;
  void setLogSink(LogSink sink) { options_.logSink = std::move(sink); }

  // Process-wide state of a loaded library or host, created on first use and
  // kept until the process ends. Any thread of the process may ask for it;
  // the state itself guards what its threads share. T's constructor may ask
  // for other states.
  template <class T>
  T& state() {
    std::lock_guard lock(statesMutex_);
    auto& slot = states_[std::type_index(typeid(T))];
    if (!slot) slot = std::make_shared<T>();
    return *static_cast<T*>(slot.get());  // no copy of the pointer: the slot keeps T
  }

  // The process the calling thread runs in; stops with a message when none.
  static Process& current();
  static Process* currentOrNull();

 private:
  ProcessOptions options_;
  DeviceRoot root_;
  Date wallClockStart_;
  std::unique_ptr<Runtime> runtime_;
  std::unique_ptr<MainQueue> mainQueue_;
  std::unique_ptr<NotificationCenter> notificationCenter_;
  std::recursive_mutex statesMutex_;
  std::unordered_map<std::type_index, std::shared_ptr<void>> states_;
};

// Makes a process current on this thread for the scope's lifetime.
class ProcessScope {
 public:
  explicit ProcessScope(Process& process);
  ~ProcessScope();
  ProcessScope(const ProcessScope&) = delete;
  ProcessScope& operator=(const ProcessScope&) = delete;

 private:
  Process* previous_;
};

// Stops the program with a message: for programming errors only.
[[noreturn]] void fatal(std::string_view message);

}  // namespace platform
