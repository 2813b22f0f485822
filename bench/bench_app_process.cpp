// The messaging app's whole process as a user runs it, `mornaq whatsapp
// --virtual-time` on a device root with the package installed and small
// settings: 1,000 messages answered against the same 1,000 decided without a
// reply (target: at most 4 times). The messages come from one chat, a given
// number of milliseconds apart; each run starts without a reply history.
// A run costs wall-clock time (the disk's flushes included) and processor
// time (user and system; steadier on a busy machine). Runs of each kind
// alternate, and their medians are compared, whole and less a run without
// messages (the process's start and end).
#include <benchmark/benchmark.h>

#include <fmt/format.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/messaging_app.h"
#include "bench/settings_file.h"
#include "common/settings_format.h"
#include "platform/process/process.h"

namespace {

using platform::Dictionary;

constexpr int kMessages = 1000;

enum class Replies { Answered, Unanswered };

struct Cost {
  double wallSeconds = 0;
  double processorSeconds = 0;
};

// User and system time of the children waited for so far.
double childrenProcessorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A device root of its own with the package installed.
class Phone {
 public:
  Phone()
      : root_(std::filesystem::temp_directory_path() /
              ("mornaq-bench-app-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(root_);
    if (!run(fmt::format("install --root '{}'", root_.string()))) {
      platform::fatal("could not install the package to measure");
    }
  }
  ~Phone() { std::filesystem::remove_all(root_); }

  // One run through messages messages spaced apart; the history is removed first.
  Cost costOfRun(Replies replies, int messages, std::chrono::milliseconds spacing) {
    prepare(replies);
    const auto scenario = root_ / "scenario.jsonl";
    std::ofstream(scenario) << scenarioText(messages, spacing);
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = childrenProcessorSeconds();
    if (!run(fmt::format("whatsapp --root '{}' --virtual-time '{}'", root_.string(),
                         scenario.string()))) {
      platform::fatal("the messaging app's run failed");
    }
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            childrenProcessorSeconds() - processorStart};
  }

 private:
  static bool run(const std::string& arguments) {
    return std::system(fmt::format("'{}' {} > /dev/null", MORNAQ_COMMAND, arguments).c_str()) == 0;
  }

  // The global reply, sent at once (the loop guard, which would stop a chat
  // after ten replies an hour, off), and no history.
  void prepare(Replies replies) {
    platform::Process settingsApp(bench::messagingAppProcess(root_));
    const platform::ProcessScope scope(settingsApp);
    std::filesystem::remove(*settingsApp.root().map(mornaq::format::kReplyHistoryPath));
    bench::writeSettingsFile(mornaq::format::kMainSettingsPath,
                             Dictionary{{"isTweakEnabled", true},
                                        {"isGlobalEnabled", true},
                                        {"isGlobAutoEnabled", replies == Replies::Answered},
                                        {"customReplyGlob", "Away"},
                                        {"customReplyGlobDelay", "0"},
                                        {std::string(mornaq::format::kLoopGuardReplies), "0"}});
  }

  static std::string scenarioText(int messages, std::chrono::milliseconds spacing) {
    std::string text;
    for (int i = 0; i < messages; ++i) {
      text += fmt::format(
          R"({{"at":{},"receive":{{"text":"hi","chat":{{"contactIdentifier":"ann:ABPerson","displayName":"Ann"}}}}}})"
          "\n",
          1 + i * spacing.count() / 1000.0);
    }
    return text;
  }

  std::filesystem::path root_;
};

// The median costs of runs of one kind.
struct Runs {
  std::vector<double> wall, processor;
  void add(const Cost& cost) {
    wall.push_back(cost.wallSeconds);
    processor.push_back(cost.processorSeconds);
  }
  Cost median() const { return {bench::median(wall), bench::median(processor)}; }
};

// Per answered message against per message decided without a reply, in the
// counters as "<name>_...".
void count(benchmark::State& state, const std::string& name, double empty, double unanswered,
           double answered) {
  const double each = (unanswered - empty) / kMessages;
  const double eachAnswered = (answered - empty) / kMessages;
  state.counters[name + "_us_unanswered"] = 1e6 * each;
  state.counters[name + "_us_answered"] = 1e6 * eachAnswered;
  state.counters[name + "_ratio"] = answered / unanswered;
  state.counters[name + "_net_ratio"] = eachAnswered / each;
}

void BM_AnsweredOverUnanswered(benchmark::State& state) {
  const std::chrono::milliseconds spacing(state.range(0));
  Phone phone;
  for (auto _ : state) {
    Runs empty, unanswered, answered;
    for (int run = 0; run < 5; ++run) {
      empty.add(phone.costOfRun(Replies::Answered, 0, spacing));
      unanswered.add(phone.costOfRun(Replies::Unanswered, kMessages, spacing));
      answered.add(phone.costOfRun(Replies::Answered, kMessages, spacing));
    }
    count(state, "wall", empty.median().wallSeconds, unanswered.median().wallSeconds,
          answered.median().wallSeconds);
    count(state, "cpu", empty.median().processorSeconds, unanswered.median().processorSeconds,
          answered.median().processorSeconds);
  }
}

BENCHMARK(BM_AnsweredOverUnanswered)
    ->ArgName("spacing_ms")
    ->Arg(1)
    ->Arg(10)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
