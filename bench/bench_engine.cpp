// Cost of one received message from receipt to the posted reply request, as
// the settings files grow. A message reads MainSettings twice (the switch
// test and the screening snapshot) and RuleSettings once; the switch test is
// measured alone too, so that the file reads can be told from the rest.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "Mornaq/engine/reply_engine.h"
#include "common/settings_format.h"
#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"
#include "tests/Mornaq/engine/test_host.h"

namespace {

using platform::Dictionary;

std::string contactKeyNumber(std::int64_t i) { return "contact-" + std::to_string(i); }

// A messaging app whose settings hold `contacts` full entries (contact path,
// word matching, own reply) and `rules` rules for the middle contact, none
// of which matches the message: every rule is tried before the contact's own
// reply goes out.
class App {
 public:
  App(std::int64_t contacts, std::int64_t rules)
      : root_(std::filesystem::temp_directory_path() /
              ("mornaq-bench-engine-" + std::to_string(contacts) + "-" + std::to_string(rules))),
        process_({.bundleIdentifier = "net.whatsapp.WhatsApp",
                  .name = "WhatsApp",
                  .deviceRoot = (std::filesystem::create_directories(root_), root_),
                  .clock = platform::Clock::Virtual,
                  .logSink = [](std::string_view) {}}),
        scope_(process_),
        host_(process_) {
    writeSettingsFiles(contacts, rules);
    const auto key = contactKeyNumber(contacts / 2);
    message_ = host_.message(host_.chat({.contactIdentifier = key + ":ABPerson"}),
                             "a message that no rule matches");
  }
  ~App() { std::filesystem::remove_all(root_); }

  void receiveAndAnswer() {
    mornaq::didTrackReceivedMessage(message_);
    static_cast<platform::VirtualMainQueue&>(process_.mainQueue()).runUntilIdle();
  }
  std::size_t answered() const { return host_.requests().size(); }

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
    engine_test::writeSettings(mornaq::format::kMainSettingsPath, main);
    engine_test::writeSettings(mornaq::format::kRuleSettingsPath,
                               Dictionary{{contactKeyNumber(contacts / 2), ruleSet}});
  }

  std::filesystem::path root_;
  platform::Process process_;
  platform::ProcessScope scope_;
  engine_test::TestHost host_;
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

BENCHMARK_MAIN();
