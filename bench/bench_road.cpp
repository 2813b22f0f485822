// Messages per second through the simulated messaging app in virtual time,
// from receipt to the sent reply: the hooks, the engine's timeline, the
// sender and the host's send, with the hook library's load sequence run
// in-process. The settings files are small (10 contacts, 10 rules) or large
// (10,000 contacts, 1,000 rules); each message reads MainSettings twice and
// RuleSettings once, and tries every rule of its contact before the
// contact's own reply goes out.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "Mornaq/hooks/load_sequence.h"
#include "bench/settings_file.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/dispatch/main_queue.h"
#include "platform/process/process.h"

namespace {

using platform::Dictionary;

std::string contactKey(std::int64_t i) { return "contact-" + std::to_string(i); }

void writeSettingsFiles(std::int64_t contacts, std::int64_t rules) {
  Dictionary main{{"isTweakEnabled", true}, {"isGlobalEnabled", true}};
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

void BM_ReceiptToSentReply(benchmark::State& state) {
  const auto contacts = state.range(0);
  const auto rules = state.range(1);
  const auto root =
      std::filesystem::temp_directory_path() / ("mornaq-bench-road-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  {
    platform::Process process({.bundleIdentifier = "net.whatsapp.WhatsApp",
                               .name = "WhatsApp",
                               .deviceRoot = root,
                               .clock = platform::Clock::Virtual,
                               .logSink = [](std::string_view) {}});
    platform::ProcessScope scope(process);
    writeSettingsFiles(contacts, rules);
    std::int64_t sent = 0;
    hosts::whatsapp::WhatsAppApp app(
        process, hosts::whatsapp::kDefaultVersion,
        [&sent](const hosts::whatsapp::Chat&, const std::string&) { ++sent; },
        mornaq::runLoadSequence);
    auto& queue = static_cast<platform::VirtualMainQueue&>(process.mainQueue());
    const hosts::whatsapp::Chat chat{.contactIdentifier = contactKey(contacts / 2) + ":ABPerson",
                                     .displayName = "Ann"};

    for (auto _ : state) {
      app.receive("a message that no rule matches", chat);
      queue.runUntilIdle();
    }
    if (sent != static_cast<std::int64_t>(state.iterations())) {
      state.SkipWithError("not every message was answered");
    }
    state.SetItemsProcessed(sent);
  }
  std::filesystem::remove_all(root);
}

BENCHMARK(BM_ReceiptToSentReply)
    ->ArgNames({"contacts", "rules"})
    ->Args({10, 10})
    ->Args({10'000, 1'000})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
