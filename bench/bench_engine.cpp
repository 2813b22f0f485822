// Cost of one received message from receipt to the posted reply request, as
// the settings files grow. A message reads MainSettings twice (the switch
// test and the screening snapshot) and RuleSettings once; the switch test is
// measured alone too, so that the file reads can be told from the rest.
// The figures marked "landed" read every file afresh, as before the read
// cache: each is measured in the same run as the figure it is compared with.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "Mornaq/engine/reply_engine.h"
#include "Mornaq/engine/reply_request.h"
#include "bench/messaging_app.h"
#include "bench/settings_file.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

extern char** environ;

namespace {

using platform::Dictionary;

constexpr const char* kChangeArgument = "--change-main-settings";

// The Settings app's side of a change to MainSettings on the device root, keeping its size.
int changeMainSettingsOn(const std::filesystem::path& root) {
  platform::Process settingsApp({.bundleIdentifier = "com.apple.Preferences",
                                 .name = "Preferences",
                                 .deviceRoot = root,
                                 .clock = platform::Clock::Virtual,
                                 .logSink = [](std::string_view) {}});
  const platform::ProcessScope scope(settingsApp);
  const auto written =
      platform::updatePlist(mornaq::format::kMainSettingsPath, [](Dictionary& settings) {
        settings.insert_or_assign("customReplyGlob",
                                  settings.contains("customReplyGlob") ? "a" : "b");
        return true;
      });
  return written ? 0 : 1;
}

std::string contactKeyNumber(std::int64_t i) { return "contact-" + std::to_string(i); }

// The simulated messaging app without its hook library, the message handed to
// the engine as the receipt hook would, its settings holding `contacts` full
// entries (contact path, word matching, own reply) and `rules` rules for the
// middle contact, none of which matches the message: every rule is tried
// before the contact's own reply goes out.
class App {
 public:
  App(std::int64_t contacts, std::int64_t rules)
      : root_(std::filesystem::temp_directory_path() /
              ("mornaq-bench-engine-" + std::to_string(contacts) + "-" + std::to_string(rules))),
        process_(bench::messagingAppProcess(root_)),
        scope_(process_),
        whatsapp_(
            process_, hosts::whatsapp::kDefaultVersion,
            [](const hosts::whatsapp::Chat&, const std::string&) {}, [] {}) {
    platform::NotificationCenter::defaultCenter().addObserverForName(
        std::string(mornaq::kReplyRequestNotification), nullptr, nullptr,
        [this](const platform::Notification&) { ++answered_; });
    writeSettingsFiles(contacts, rules);
    const auto key = contactKeyNumber(contacts / 2);
    message_ = whatsapp_.message("a message that no rule matches",
                                 hosts::whatsapp::Chat{.contactIdentifier = key + ":ABPerson"});
  }
  ~App() { std::filesystem::remove_all(root_); }

  void receiveAndAnswer() {
    mornaq::didTrackReceivedMessage(message_);
    static_cast<platform::VirtualMainQueue&>(process_.mainQueue()).runUntilIdle();
  }
  // The reply requests the engine posted.
  std::size_t answered() const { return answered_; }
  // Changes MainSettings as the Settings app does: from a process of its own, this program run
  // again with kChangeArgument. A change made in this process would leave the writer's garbage in
  // its heap for the next message to clear.
  void changeMainSettings() const {
    const std::string root = root_.string();
    const char* arguments[] = {"bench_engine", kChangeArgument, root.c_str(), nullptr};
    pid_t writer = 0;
    int status = 0;
    if (::posix_spawn(&writer, "/proc/self/exe", nullptr, nullptr,
                      const_cast<char* const*>(arguments), environ) != 0 ||
        ::waitpid(writer, &status, 0) != writer || status != 0) {
      platform::fatal("could not write the settings to measure");
    }
  }
  std::string mainSettingsBytes() const {
    std::string bytes;
    std::ifstream in(*process_.root().map(mornaq::format::kMainSettingsPath), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return bytes;
  }

 private:
  static void writeSettingsFiles(std::int64_t contacts, std::int64_t rules) {
    Dictionary main{{"isTweakEnabled", true}, {"isGlobalEnabled", true}};
    for (std::int64_t i = 0; i < contacts; ++i) {
      main.emplace(contactKeyNumber(i), Dictionary{{"isContactEnabled", true},
                                                   {"isWordMatch", true},
                                                   {"isAutoReplyContact", true},
                                                   {"customReply", "Busy, back at :name:"},
                                                   {"customReplyDelay", "5"}});
    }
    Dictionary ruleSet;
    for (std::int64_t i = 0; i < rules; ++i) {
      const auto word = "match word " + std::to_string(i);
      ruleSet.emplace(word, Dictionary{{"customMatch", word},
                                       {"customMatchRe", "reply"},
                                       {"customMatchReDelay", "2"}});
    }
    bench::writeSettingsFile(mornaq::format::kMainSettingsPath, std::move(main));
    bench::writeSettingsFile(mornaq::format::kRuleSettingsPath,
                             Dictionary{{contactKeyNumber(contacts / 2), std::move(ruleSet)}});
  }

  std::filesystem::path root_;
  platform::Process process_;
  platform::ProcessScope scope_;
  hosts::whatsapp::WhatsAppApp whatsapp_;
  std::size_t answered_ = 0;
  platform::Id message_;
};

// Runs one message per iteration and reports the processor time per message
// in microseconds.
template <class Body>
void measurePerMessage(benchmark::State& state, Body body) {
  const std::clock_t start = std::clock();
  for (auto _ : state) body();
  const double microseconds = 1e6 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  state.counters["us_per_message"] =
      benchmark::Counter(microseconds, benchmark::Counter::kAvgIterations);
}

void BM_MessageToReplyRequest(benchmark::State& state) {
  App app(state.range(0), state.range(1));
  measurePerMessage(state, [&] { app.receiveAndAnswer(); });
  if (app.answered() != static_cast<std::size_t>(state.iterations())) {
    state.SkipWithError("a message went unanswered");
  }
}

void BM_SwitchTest(benchmark::State& state) {
  App app(state.range(0), 0);
  measurePerMessage(state, [] { benchmark::DoNotOptimize(mornaq::getPlistValue()); });
}

using bench::Reads;
using bench::secondsPerCall;

double secondsPerMessage(std::int64_t contacts, std::int64_t rules, Reads reads, int messages) {
  App app(contacts, rules);
  if (reads == Reads::Afresh) bench::readEveryFileAfresh();
  app.receiveAndAnswer();  // the first read of each file parses it
  return secondsPerCall(messages, [&] { app.receiveAndAnswer(); });
}

// Unchanged files: the large settings against the small ones (target: at
// most 3 times), and against the large settings read afresh.
void BM_MessageWithLargeSettings(benchmark::State& state) {
  for (auto _ : state) {
    const double small = secondsPerMessage(10, 10, Reads::Cached, 2000);
    const double large = secondsPerMessage(10000, 1000, Reads::Cached, 2000);
    const double landed = secondsPerMessage(10000, 1000, Reads::Afresh, 10);
    state.counters["us_10_10"] = 1e6 * small;
    state.counters["us_10000_1000"] = 1e6 * large;
    state.counters["us_10000_1000_landed"] = 1e6 * landed;
    state.counters["large_over_small"] = large / small;
    state.counters["large_over_landed"] = large / landed;
  }
}

// A message right after MainSettings changed, and a parse of the file, each in a run of its own
// kind: glibc merges the small blocks a parse frees only at the next large request, so a parse
// timed right after a message pays for the message's garbage, and the other way round. Runs of
// each alternate, and each is timed right after a change by another process, so that both see the
// machine and its caches in the same states; the medians are compared.
struct AfterChange {
  double message = 0;
  double parse = 0;
};

double median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

AfterChange messagesAfterChanges(Reads reads, int runs) {
  App app(10000, 1000);
  if (reads == Reads::Afresh) bench::readEveryFileAfresh();
  app.receiveAndAnswer();
  constexpr int kRunLength = 5;
  std::vector<double> messages, parses;
  for (int run = 0; run < runs; ++run) {
    for (int i = 0; i < kRunLength; ++i) {
      app.changeMainSettings();
      messages.push_back(secondsPerCall(1, [&] { app.receiveAndAnswer(); }));
    }
    for (int i = 0; i < kRunLength; ++i) {
      app.changeMainSettings();
      const std::string bytes = app.mainSettingsBytes();
      parses.push_back(
          secondsPerCall(1, [&] { benchmark::DoNotOptimize(platform::parsePropertyList(bytes)); }));
    }
  }
  return {median(messages), median(parses)};
}

// The first message after MainSettings changed against one parse of that
// file (target: at most 1.2 times), and against the same message with every
// file read afresh.
void BM_MessageAfterMainSettingsChanged(benchmark::State& state) {
  for (auto _ : state) {
    const AfterChange cached = messagesAfterChanges(Reads::Cached, 6);
    const AfterChange landed = messagesAfterChanges(Reads::Afresh, 2);
    state.counters["ms_message"] = 1e3 * cached.message;
    state.counters["ms_message_landed"] = 1e3 * landed.message;
    state.counters["ms_one_parse"] = 1e3 * cached.parse;
    state.counters["message_over_parse"] = cached.message / cached.parse;
    state.counters["landed_over_parse"] = landed.message / landed.parse;
  }
}

// Peak resident memory of a run of the messaging app, in a child process of
// its own so that nothing else counts: 100 messages with 10,000 contacts and
// 1,000 rules.
double peakMegabytesOfRun(Reads reads) {
  const pid_t child = ::fork();
  if (child == 0) {
    App app(10000, 1000);
    if (reads == Reads::Afresh) bench::readEveryFileAfresh();
    for (int i = 0; i < 100; ++i) app.receiveAndAnswer();
    ::_exit(app.answered() == 100 ? 0 : 1);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(child, &status, 0, &usage) != child || status != 0) return -1;
  return static_cast<double>(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

void BM_PeakMemoryOfAMessagingAppRun(benchmark::State& state) {
  for (auto _ : state) {
    const double cached = peakMegabytesOfRun(Reads::Cached);
    const double landed = peakMegabytesOfRun(Reads::Afresh);
    state.counters["peak_MB"] = cached;
    state.counters["peak_MB_landed"] = landed;
    state.counters["peak_over_landed"] = cached / landed;
  }
}

// First, while this process is small: the child of a fork starts from it.
BENCHMARK(BM_PeakMemoryOfAMessagingAppRun)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MessageWithLargeSettings)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MessageAfterMainSettingsChanged)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MessageToReplyRequest)
    ->ArgNames({"contacts", "rules"})
    ->ArgsProduct({{10, 1000, 10000}, {10, 1000}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SwitchTest)
    ->ArgName("contacts")
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == kChangeArgument) {
    return changeMainSettingsOn(argv[2]);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
