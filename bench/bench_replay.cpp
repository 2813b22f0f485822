// `mornaq replay` on long chat exports: the whole command's work per message
// (reading the export twice, the rehearsal by the messaging app with the
// add-on in virtual time, its events read back, the transcript printed)
// against the same timeline run as a scenario through `mornaq whatsapp
// --virtual-time` (target: at most 1.5 times), and 100,000 messages against
// 10,000 (linear: at most 11 times), beside the same ratio of the scenario
// run alone. Processor seconds (the app runs in this process); the output of
// both goes to a stream that discards it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>

#include <fmt/chrono.h>
#include <fmt/format.h>

#include "bench/messaging_app.h"
#include "bench/settings_file.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/whatsapp_run.h"
#include "platform/foundation/wall_clock.h"
#include "platform/runtime/runtime.h"
#include "tools/listed_contacts.h"
#include "tools/private_root.h"
#include "tools/replay/rehearsal.h"
#include "tools/replay/rehearsal_root.h"
#include "tools/replay/transcript.h"

namespace {

namespace fs = std::filesystem;
using namespace tools::replay;

// Output that costs nothing to keep.
class Discarded : public std::streambuf {
 protected:
  int_type overflow(int_type byte) override { return traits_type::not_eof(byte); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// Ann's messages and the owner's every third, a few seconds to ten minutes
// apart, as the phone exports them.
void writeExport(const fs::path& path, int messages) {
  std::ofstream out(path);
  std::chrono::sys_seconds at =
      std::chrono::sys_days{std::chrono::year{2025} / 1 / 6} + std::chrono::hours{8};
  const char* texts[] = {"Are you there?", "Lunch at one?", "ok 👍", "Call me when you can"};
  for (int i = 0; i < messages; ++i) {
    out << fmt::format("[{:%d/%m/%Y, %H:%M:%S}] {}: {}\n", at, i % 3 == 2 ? "Tom" : "Ann Lee",
                       texts[i % 4]);
    at += std::chrono::seconds{5 + (i * 7919) % 600};
  }
}

// A phone with Mornaq's global reply and reply once on, and an export of its owner's chat.
class Phone {
 public:
  explicit Phone(int messages) : folder_(tools::PrivateRoot::make("mornaq-bench-replay").value()) {
    platform::Process settings(bench::messagingAppProcess(phoneRoot()));
    platform::ProcessScope scope(settings);
    bench::writeSettingsFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true},
                                                                 {"isGlobalEnabled", true},
                                                                 {"isGlobAutoEnabled", true},
                                                                 {"isReplyOnce", true},
                                                                 {"replyOnceHours", "1"},
                                                                 {"customReplyGlobDelay", "2"}});
    writeExport(exportPath(), messages);
  }

  fs::path phoneRoot() const { return folder_.path() / "phone"; }
  fs::path exportPath() const { return folder_.path() / "WhatsApp Chat with Ann Lee.txt"; }

 private:
  tools::PrivateRoot folder_;
};

void mustHold(const platform::Result<>& done) {
  if (!done) platform::fatal(done.reason());
}

double secondsOf(const auto& work) { return bench::secondsPerCall(1, work); }

// The command's work: what runReplay does for one export.
double replaySeconds(const Phone& phone) {
  Discarded discarded;
  std::ostream out(&discarded);
  return secondsOf([&] {
    const auto chat = ChatExport::open(phone.exportPath()).value();
    const auto book = tools::listedContacts(phone.phoneRoot());
    const auto roles = decideRoles(chat.overview(), std::nullopt, book, phone.exportPath()).value();
    const auto rehearsal = rehearse(chat, roles, phone.phoneRoot()).value();
    mustHold(printTranscript(out, {.json = true}, chat, roles, rehearsal));
  });
}

// The same timeline as a scenario file, run by the messaging app on a root
// with the same settings, made before the clock starts, with the output the
// rehearsal reads (--json --why).
double scenarioSeconds(const Phone& phone) {
  const auto chat = ChatExport::open(phone.exportPath()).value();
  const auto roles = decideRoles(chat.overview(), std::nullopt, {}, phone.exportPath()).value();
  const std::string scenario = scenarioOf(chat, roles).value();
  std::optional<LocalDateTime> first;
  mustHold(chat.forEachMessage([&](const ExportedMessage& message) {
    if (!first) first = message.time;
  }));
  const auto root = makeRehearsalRoot(phone.phoneRoot()).value();
  Discarded discarded;
  std::ostream out(&discarded);
  std::ostringstream err;
  return secondsOf([&] {
    std::istringstream events(scenario);
    const int status =
        hosts::whatsapp::run({.root = root.root.path(),
                              .virtualTime = true,
                              .format = hosts::EventOutput::Format::Json,
                              .why = true,
                              .start = platform::parseLocalDateTime(isoText(*first))},
                             events, out, err);
    if (status != 0) platform::fatal("the scenario did not run: " + err.str());
  });
}

// Per message of 10,000 and of 100,000: the replay against the scenario; and
// how each grows from 10,000 messages to 100,000.
void BM_ReplayOverScenario(benchmark::State& state) {
  const Phone small(10'000);
  const Phone large(100'000);
  for (auto _ : state) {
    const double replaySmall = replaySeconds(small);
    const double scenarioSmall = scenarioSeconds(small);
    const double replayLarge = replaySeconds(large);
    const double scenarioLarge = scenarioSeconds(large);
    state.counters["us_per_message_replay_100000"] = 1e6 * replayLarge / 100'000;
    state.counters["us_per_message_scenario_100000"] = 1e6 * scenarioLarge / 100'000;
    state.counters["replay_over_scenario_100000"] = replayLarge / scenarioLarge;
    state.counters["replay_over_scenario_10000"] = replaySmall / scenarioSmall;
    state.counters["replay_100000_over_10000"] = replayLarge / replaySmall;
    state.counters["scenario_100000_over_10000"] = scenarioLarge / scenarioSmall;
  }
}

BENCHMARK(BM_ReplayOverScenario)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
