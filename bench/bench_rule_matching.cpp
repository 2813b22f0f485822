// Rule matching on long messages: the subject is folded once per evaluation
// and all words are looked for in one pass. The landed matcher folded the
// subject afresh for every test of every rule; on these sizes it takes
// minutes, so it is measured here on a slice of the rules and scaled to all
// of them (its cost is the same for every rule that does not match).
//
// The other match kinds make the subject ready once per evaluation too
// (segmented, folded, indexed, composed for patterns); the plain approach
// they are compared with does that work again for every rule, and looks for
// a run of words by comparing it at every position of the message.
#include <benchmark/benchmark.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "Mornaq/engine/rule_matching.h"
#include "platform/text/pattern.h"
#include "platform/text/text.h"
#include "platform/text/trim.h"
#include "platform/text/word_segments.h"

namespace {

using platform::Dictionary;

double seconds(auto body) {
  const std::clock_t start = std::clock();
  body();
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// The landed matcher: every test folds both texts afresh through ICU.
icu::UnicodeString landedFolded(const std::string& text) {
  icu::UnicodeString s = icu::UnicodeString::fromUTF8(text);
  s.foldCase(U_FOLD_CASE_DEFAULT);
  UErrorCode status = U_ZERO_ERROR;
  return icu::Normalizer2::getNFDInstance(status)->normalize(s, status);
}

bool landedContains(const std::string& haystack, const std::string& needle) {
  const icu::UnicodeString text = landedFolded(haystack), wanted = landedFolded(needle);
  if (wanted.isEmpty()) return false;
  for (int32_t at = text.indexOf(wanted); at >= 0; at = text.indexOf(wanted, at + 1)) {
    const int32_t end = at + wanted.length();
    if (end >= text.length() || u_getCombiningClass(text.char32At(end)) == 0) return true;
  }
  return false;
}

std::optional<std::string> landedMatch(const Dictionary& ruleSet, const std::string& subject) {
  for (const auto& entry : ruleSet) {
    if (landedContains(entry.first, subject) ||
        landedFolded(entry.first) == landedFolded(subject) ||
        landedContains(subject, entry.first)) {
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

// Times the search of rules against subject (none matches, so that every
// rule is tried) and the approach it replaces, named before, on a slice of
// the rules, scaled to all of them; each repeated as often as asked, for a
// short message.
void measure(benchmark::State& state, const std::string& subject, const Dictionary& rules,
             std::size_t slice, const std::string& before, auto firstMatchBefore, int repeat = 1) {
  const Dictionary part(rules.begin(), std::next(rules.begin(), slice));
  for (auto _ : state) {
    const double now = seconds([&] {
      for (int i = 0; i < repeat; ++i) {
        if (mornaq::findMatchingRule(&rules, subject)) state.SkipWithError("a rule matched");
      }
    });
    const double then = seconds([&] {
                          for (int i = 0; i < repeat; ++i) {
                            if (firstMatchBefore(part, subject)) {
                              state.SkipWithError("a rule matched");
                            }
                          }
                        }) *
                        static_cast<double>(rules.size()) / slice;
    state.counters["s"] = now;
    state.counters["s_" + before + "_scaled"] = then;
    state.counters[before + "_over_now"] = then / now;
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
  measure(state, subject, rules, 10, "landed", landedMatch);
}

// 1 MB of "é" against 500 rules whose words begin with "e": in the folded
// subject every "e" is followed by a combining accent, so every occurrence of
// a word's first letter must be looked at and refused.
void BM_OneMegabyteOfEAcuteAgainst500Rules(benchmark::State& state) {
  std::string subject;
  while (subject.size() < 1'000'000) subject += "\u00e9";
  const auto rules =
      ruleSetOf(500, [](std::size_t i) { return i == 0 ? "e" : "e" + std::to_string(i); });
  measure(state, subject, rules, 5, "landed", landedMatch);
}

// The plain approach of each kind: the message made ready afresh for each
// rule (one segmenter serves a whole search, as it does now).
using platform::text::WordSegmenter;

bool plainWords(WordSegmenter& segmenter, const std::string& word, const std::string& subject) {
  const auto text = segmenter.segments(subject), run = segmenter.segments(word);
  const auto all = text.all(), wanted = run.all();
  return std::search(all.begin(), all.end(), wanted.begin(), wanted.end()) != all.end();
}

bool plainStart(WordSegmenter& segmenter, const std::string& word, const std::string& subject) {
  return segmenter.segments(subject).beginsWith(segmenter.segments(word));
}

bool plainContains(WordSegmenter&, const std::string& word, const std::string& subject) {
  return platform::text::containsIgnoringCase(subject, word);
}

bool plainExact(WordSegmenter&, const std::string& word, const std::string& subject) {
  using platform::text::trimSpaceAndPunctuation;
  return platform::text::FoldedText(trimSpaceAndPunctuation(word)) ==
         platform::text::FoldedText(trimSpaceAndPunctuation(subject));
}

bool plainPattern(WordSegmenter&, const std::string& word, const std::string& subject) {
  const auto pattern = platform::text::Pattern::compile(word);
  return pattern && pattern->foundIn(platform::text::PatternSubject(subject));
}

struct Kind {
  std::string name;
  bool (*plainMatches)(WordSegmenter&, const std::string& word, const std::string& subject);
  std::size_t plainSlice;  // of 500 rules, for a long message
};

const Kind kContains{"contains", plainContains, 20};
const Kind kWords{"words", plainWords, 3};
const Kind kStart{"start", plainStart, 3};
const Kind kExact{"exact", plainExact, 20};
const Kind kPattern{"pattern", plainPattern, 20};

// Words of several scripts, each a segment of its own.
const std::vector<std::string> kVocabulary = {"Gr\u00fc\u00dfe",
                                              "aus",
                                              "Z\u00fcrich",
                                              "see",
                                              "you",
                                              "at",
                                              "the",
                                              "caf\u00e9",
                                              "na\u00efve",
                                              "order",
                                              "price",
                                              "lunch",
                                              "today",
                                              "\u6771\u4eac",
                                              "\u0e04\u0e23\u0e31\u0e1a",
                                              "don't",
                                              "soon",
                                              "back",
                                              "meeting",
                                              "call",
                                              "tomorrow",
                                              "office",
                                              "\U0001F355",
                                              "Monday",
                                              "question",
                                              "answer",
                                              "please",
                                              "thanks",
                                              "week",
                                              "later"};

// At least size bytes of the vocabulary in its order, again and again.
std::string proseOf(std::size_t size) {
  std::string prose;
  for (std::size_t i = 0; prose.size() < size; ++i) {
    prose += kVocabulary[i % kVocabulary.size()] + (i % 7 == 6 ? ". " : " ");
  }
  return prose;
}

// Rules of a kind, each two words of the vocabulary that never follow one
// another in the prose (for patterns, with any white space between them).
Dictionary rulesOfKind(const Kind& kind, std::size_t count) {
  Dictionary rules;
  const std::size_t n = kVocabulary.size();
  const std::string between = kind.name == "pattern" ? "\\s+" : " ";
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t first = i % n, second = (first + 2 + i / n % (n - 2)) % n;
    rules.emplace(kVocabulary[first] + between + kVocabulary[second],
                  Dictionary{{"customMatchKind", kind.name}});
  }
  return rules;
}

auto plainFirstMatch(const Kind& kind) {
  return [&kind](const Dictionary& rules, const std::string& subject) {
    WordSegmenter segmenter;
    for (const auto& entry : rules) {
      if (kind.plainMatches(segmenter, entry.first, subject)) return std::optional(entry.first);
    }
    return std::optional<std::string>();
  };
}

// 1 MB of prose against 500 rules of one kind.
void BM_OneMegabyteMessageAgainst500RulesOfAKind(benchmark::State& state, const Kind& kind) {
  measure(state, proseOf(1'000'000), rulesOfKind(kind, 500), kind.plainSlice, "plain",
          plainFirstMatch(kind));
}

// A message as people write them against 20 rules of one kind, 2,000 times.
void BM_ShortMessageAgainst20RulesOfAKind(benchmark::State& state, const Kind& kind) {
  const Dictionary rules = rulesOfKind(kind, 20);
  measure(state, "Hi! Are you free for lunch at the caf\u00e9 today? \U0001F355", rules,
          rules.size(), "plain", plainFirstMatch(kind), 2000);
}

BENCHMARK(BM_FiveMegabyteMessageAgainst2000Rules)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneMegabyteOfEAcuteAgainst500Rules)->Iterations(1)->Unit(benchmark::kMillisecond);
#define MORNAQ_KIND_BENCHMARKS(kind)                                            \
  BENCHMARK_CAPTURE(BM_OneMegabyteMessageAgainst500RulesOfAKind, kind, k##kind) \
      ->Iterations(1)                                                           \
      ->Unit(benchmark::kMillisecond);                                          \
  BENCHMARK_CAPTURE(BM_ShortMessageAgainst20RulesOfAKind, kind, k##kind)        \
      ->Iterations(1)                                                           \
      ->Unit(benchmark::kMillisecond)
MORNAQ_KIND_BENCHMARKS(Contains);
MORNAQ_KIND_BENCHMARKS(Words);
MORNAQ_KIND_BENCHMARKS(Start);
MORNAQ_KIND_BENCHMARKS(Exact);
MORNAQ_KIND_BENCHMARKS(Pattern);

}  // namespace

BENCHMARK_MAIN();
