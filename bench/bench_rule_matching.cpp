// Rule matching on long messages: the subject is folded once per evaluation
// and all words are looked for in one pass. The landed matcher folded the
// subject afresh for every test of every rule; on these sizes it takes
// minutes, so it is measured here on a slice of the rules and scaled to all
// of them (its cost is the same for every rule that does not match).
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include "Mornaq/engine/rule_matching.h"
#include "platform/text/text.h"

namespace {

using platform::Dictionary;

double seconds(auto body) {
  const std::clock_t start = std::clock();
  body();
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// The landed matcher: every test folds both texts afresh.
std::optional<std::string> landedMatch(const Dictionary& ruleSet, const std::string& subject) {
  using platform::text::containsIgnoringCase;
  for (const auto& entry : ruleSet) {
    if (containsIgnoringCase(entry.first, subject) ||
        platform::text::equalsIgnoringCase(entry.first, subject) ||
        containsIgnoringCase(subject, entry.first)) {
      return entry.first;
    }
  }
  return std::nullopt;
}

Dictionary ruleSetOf(std::size_t count, auto word) {
  Dictionary ruleSet;
  for (std::size_t i = 0; i < count; ++i) ruleSet.emplace(word(i), Dictionary{});
  return ruleSet;
}

// Words that the subject never contains, so that every rule is tried.
void measure(benchmark::State& state, const std::string& subject, const Dictionary& rules,
             std::size_t landedSlice) {
  for (auto _ : state) {
    const double now = seconds([&] {
      if (mornaq::findMatchingRule(&rules, subject)) state.SkipWithError("a rule matched");
    });
    const Dictionary slice(rules.begin(), std::next(rules.begin(), landedSlice));
    const double landed = seconds([&] {
                            if (landedMatch(slice, subject)) state.SkipWithError("a rule matched");
                          }) *
                          static_cast<double>(rules.size()) / landedSlice;
    state.counters["s"] = now;
    state.counters["s_landed_scaled"] = landed;
    state.counters["landed_over_now"] = landed / now;
  }
}

// Prose of 5 MB against 2,000 rules (target: at most 2 s).
void BM_FiveMegabyteMessageAgainst2000Rules(benchmark::State& state) {
  std::string subject;
  for (int i = 0; subject.size() < 5'000'000; ++i) {
    subject += "Sorry, I missed your call while on the road " + std::to_string(i % 97) + ". ";
  }
  const auto rules =
      ruleSetOf(2000, [](std::size_t i) { return "match word " + std::to_string(i); });
  measure(state, subject, rules, 10);
}

// 1 MB of "é" against 500 rules whose words begin with "e": in the folded
// subject every "e" is followed by a combining accent, so every occurrence of
// a word's first letter must be looked at and refused.
void BM_OneMegabyteOfEAcuteAgainst500Rules(benchmark::State& state) {
  std::string subject;
  while (subject.size() < 1'000'000) subject += "\u00e9";
  const auto rules =
      ruleSetOf(500, [](std::size_t i) { return i == 0 ? "e" : "e" + std::to_string(i); });
  measure(state, subject, rules, 5);
}

BENCHMARK(BM_FiveMegabyteMessageAgainst2000Rules)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneMegabyteOfEAcuteAgainst500Rules)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
