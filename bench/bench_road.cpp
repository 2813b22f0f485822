// Messages per second through the simulated messaging app in virtual time,
// from receipt to the sent reply: the hooks, the engine's timeline, the
// sender and the host's send, with the hook library's load sequence run
// in-process. The settings files are small (10 contacts, 10 rules) or large
// (10,000 contacts, 1,000 rules); each message reads MainSettings three times
// (the switch test, the screening and the policies as the reply leaves) and
// RuleSettings once, and tries every rule of its contact before the
// contact's own reply goes out; every reply sent is recorded in the history,
// which the background queue writes half a second later.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Mornaq/hooks/load_sequence.h"
#include "bench/messaging_app.h"
#include "bench/settings_file.h"
#include "common/reply_history.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace {

using platform::Dictionary;

std::string contactKey(std::int64_t i) { return "contact-" + std::to_string(i); }

void writeSettingsFiles(std::int64_t contacts, std::int64_t rules) {
  // Every message comes from one chat: the loop guard, on by default, would hold back every
  // reply after its limit.
  Dictionary main{{"isTweakEnabled", true},
                  {"isGlobalEnabled", true},
                  {std::string(mornaq::format::kLoopGuardReplies), "0"}};
  for (std::int64_t i = 0; i < contacts; ++i) {
    main.emplace(contactKey(i), Dictionary{{"isContactEnabled", true},
                                           {"isWordMatch", true},
                                           {"isAutoReplyContact", true},
                                           {"customReply", "Busy, :name::newline:back soon"},
                                           {"customReplyDelay", "5"}});
  }
  Dictionary ruleSet;
  for (std::int64_t i = 0; i < rules; ++i) {
    const auto word = "match word " + std::to_string(i);
    ruleSet.emplace(
        word,
        Dictionary{{"customMatch", word}, {"customMatchRe", "reply"}, {"customMatchReDelay", "2"}});
  }
  bench::writeSettingsFile(mornaq::format::kMainSettingsPath, std::move(main));
  bench::writeSettingsFile(mornaq::format::kRuleSettingsPath,
                           Dictionary{{contactKey(contacts / 2), ruleSet}});
}

// The simulated messaging app with its hook library loaded in-process, on a
// device root of its own holding settings files of the given size.
class Road {
 public:
  Road(std::int64_t contacts, std::int64_t rules, bench::Reads reads = bench::Reads::Cached)
      : root_(std::filesystem::temp_directory_path() /
              ("mornaq-bench-road-" + std::to_string(::getpid()))),
        process_(bench::messagingAppProcess(root_)),
        scope_(process_),
        chat_{.contactIdentifier = contactKey(contacts / 2) + ":ABPerson", .displayName = "Ann"} {
    writeSettingsFiles(contacts, rules);
    // Before the app's first read, which its hooks make as they load.
    if (reads == bench::Reads::Afresh) bench::readEveryFileAfresh();
    app_.emplace(
        process_, hosts::whatsapp::kDefaultVersion,
        [this](const hosts::whatsapp::Chat&, const std::string&) { ++sent_; },
        mornaq::runLoadSequence);
  }
  ~Road() {
    app_.reset();
    std::filesystem::remove_all(root_);
  }

  void receiveAndReply() {
    app_->receive("a message that no rule matches", chat_);
    queue().runUntilIdle();
  }

  // Processor seconds of the main queue from receipt to the sent reply. The
  // background queue's write of the reply, half a second later, runs after
  // and is not counted.
  double replyOnMainQueue() {
    const auto answered = sent_;
    const std::clock_t start = std::clock();
    app_->receive("a message that no rule matches", chat_);
    while (sent_ == answered) queue().runUntil(*queue().nextDue());
    queue().runUntil(queue().now());
    const std::clock_t end = std::clock();
    queue().runUntilIdle();
    return static_cast<double>(end - start) / CLOCKS_PER_SEC;
  }
  std::int64_t sent() const { return sent_; }
  // The history as a phone in use has it: as long as it gets, all to another chat.
  void fillHistory() {
    platform::Dictionary history;
    for (std::size_t i = 0; i < mornaq::format::kHistoryLimit; ++i) {
      mornaq::format::addToHistory(history, {platform::Date{double(i)}, "bob", "Bob", "Away"});
    }
    bench::writeSettingsFile(mornaq::format::kReplyHistoryPath, std::move(history));
  }
  void forgetHistory() {
    std::filesystem::remove(*process_.root().map(mornaq::format::kReplyHistoryPath));
  }

 private:
  platform::VirtualMainQueue& queue() {
    return static_cast<platform::VirtualMainQueue&>(process_.mainQueue());
  }

  std::filesystem::path root_;
  platform::Process process_;
  platform::ProcessScope scope_;
  hosts::whatsapp::Chat chat_;
  std::optional<hosts::whatsapp::WhatsAppApp> app_;
  std::int64_t sent_ = 0;
};

void BM_ReceiptToSentReply(benchmark::State& state) {
  Road road(state.range(0), state.range(1));
  for (auto _ : state) road.receiveAndReply();
  if (road.sent() != static_cast<std::int64_t>(state.iterations())) {
    state.SkipWithError("not every message was answered");
  }
  state.SetItemsProcessed(road.sent());
}

using bench::Reads;

// Processor seconds per message, over messages of them after a first one.
double secondsPerMessage(std::int64_t contacts, std::int64_t rules, Reads reads, int messages) {
  Road road(contacts, rules, reads);
  road.receiveAndReply();  // the first read of each file parses it
  const double seconds = bench::secondsPerCall(messages, [&] { road.receiveAndReply(); });
  if (road.sent() != messages + 1) platform::fatal("not every measured message was answered");
  return seconds;
}

// Unchanged files, receipt to sent reply: the large settings against the
// small ones (target: at most 3 times), and against the large settings read
// afresh for every message, as before the read cache.
void BM_LargeSettingsOverSmall(benchmark::State& state) {
  for (auto _ : state) {
    const double small = secondsPerMessage(10, 10, Reads::Cached, 300);
    const double large = secondsPerMessage(10'000, 1'000, Reads::Cached, 300);
    const double landed = secondsPerMessage(10'000, 1'000, Reads::Afresh, 20);
    state.counters["us_10_10"] = 1e6 * small;
    state.counters["us_10000_1000"] = 1e6 * large;
    state.counters["us_10000_1000_landed"] = 1e6 * landed;
    state.counters["large_over_small"] = large / small;
    state.counters["large_over_landed"] = large / landed;
  }
}

// Whether the road's replies are kept in the history: the bench turns it off
// by taking the history away after each reply.
enum class History { Recorded, Off };

// Main-queue processor seconds per reply, the median of messages of them
// after a first one; a recorded history starts full.
double mainQueueSecondsPerReply(History history, int messages) {
  Road road(10, 10);
  if (history == History::Recorded) road.fillHistory();
  std::vector<double> seconds;
  for (int i = 0; i <= messages; ++i) {
    const double reply = road.replyOnMainQueue();
    if (i > 0) seconds.push_back(reply);  // the first read of each file parses it
    if (history == History::Off) road.forgetHistory();
  }
  if (road.sent() != messages + 1) platform::fatal("not every measured message was answered");
  return bench::median(std::move(seconds));
}

// Receipt to sent reply, what the main queue spends with the history
// recorded against the same road with it off (target: at most 1.3 times),
// small settings, alternating runs of each.
void BM_HistoryOnTheMainQueue(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<double> recorded, off;
    for (int run = 0; run < 5; ++run) {
      off.push_back(mainQueueSecondsPerReply(History::Off, 200));
      recorded.push_back(mainQueueSecondsPerReply(History::Recorded, 200));
    }
    const double recordedSeconds = bench::median(recorded);
    const double offSeconds = bench::median(off);
    state.counters["us_recorded"] = 1e6 * recordedSeconds;
    state.counters["us_off"] = 1e6 * offSeconds;
    state.counters["recorded_over_off"] = recordedSeconds / offSeconds;
  }
}

BENCHMARK(BM_ReceiptToSentReply)
    ->ArgNames({"contacts", "rules"})
    ->Args({10, 10})
    ->Args({10'000, 1'000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargeSettingsOverSmall)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryOnTheMainQueue)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
