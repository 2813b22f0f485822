#include "Mornaq/engine/rule_matching.h"

#include <fmt/format.h>

#include <utility>

#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"
#include "platform/text/pattern.h"
#include "platform/text/segment_index.h"
#include "platform/text/text.h"
#include "platform/text/trim.h"
#include "platform/text/word_segments.h"

namespace mornaq {
namespace {

using platform::text::FoldedText;

enum class MatchKind { Either, Contains, Words, Start, Exact, Pattern };

constexpr std::pair<std::string_view, MatchKind> kMatchKinds[] = {
    {format::kMatchKindEither, MatchKind::Either},
    {format::kMatchKindContains, MatchKind::Contains},
    {format::kMatchKindWords, MatchKind::Words},
    {format::kMatchKindStart, MatchKind::Start},
    {format::kMatchKindExact, MatchKind::Exact},
    {format::kMatchKindPattern, MatchKind::Pattern},
};

// A rule as the search tries it.
struct Rule {
  const std::string* word;
  std::string kindName;             // customMatchKind as stored; empty when absent
  std::optional<MatchKind> kind{};  // none: a kind Mornaq does not know
  std::size_t searched = 0;         // "either" and "contains": the word's place among the searched
};

Rule ruleOf(const std::string& word, const platform::Value& values) {
  const platform::Dictionary* rule = values.dictionary();
  Rule tried{.word = &word, .kindName = rule ? textValue(*rule, format::kCustomMatchKind) : ""};
  if (tried.kindName.empty()) tried.kind = MatchKind::Either;
  for (const auto& [name, kind] : kMatchKinds) {
    if (tried.kindName == name) tried.kind = kind;
  }
  return tried;
}

// The subject in each form that the kinds compare, each made once per search,
// when the first rule that needs it is tried: a long message costs once, not
// once per rule.
class Subject {
 public:
  explicit Subject(std::string_view text) : text_(text) {}

  std::string_view text() const { return text_; }
  const FoldedText& folded() {
    if (!folded_) folded_.emplace(text_);
    return *folded_;
  }
  // The segmenter cuts the rules' words too.
  platform::text::WordSegmenter& segmenter() {
    if (!segmenter_) segmenter_.emplace();
    return *segmenter_;
  }
  const platform::text::WordSegments& segments() {
    if (!segments_) segments_ = segmenter().segments(text_);
    return *segments_;
  }
  const platform::text::SegmentIndex& index() {
    if (!index_) index_.emplace(segments());
    return *index_;
  }
  const FoldedText& trimmed() {
    if (!trimmed_) trimmed_.emplace(platform::text::trimSpaceAndPunctuation(text_));
    return *trimmed_;
  }
  const platform::text::PatternSubject& forPatterns() {
    if (!forPatterns_) forPatterns_.emplace(text_);
    return *forPatterns_;
  }

 private:
  std::string_view text_;
  std::optional<FoldedText> folded_;
  std::optional<platform::text::WordSegmenter> segmenter_;
  std::optional<platform::text::WordSegments> segments_;
  std::optional<platform::text::SegmentIndex> index_;
  std::optional<FoldedText> trimmed_;
  std::optional<platform::text::PatternSubject> forPatterns_;
};

// The words that are looked for in the subject ("either" and "contains"),
// all found in one pass.
struct Searched {
  std::vector<FoldedText> words;
  std::vector<bool> inSubject;
};

// Whether rule matches the subject, or why it cannot be tried.
platform::Result<bool> tryRule(const Rule& rule, Subject& subject, const Searched& searched) {
  const std::string& word = *rule.word;
  if (!rule.kind) {
    return platform::Failure{
        fmt::format("the match kind \"{}\" of rule \"{}\" is not known", rule.kindName, word)};
  }
  // An empty text is found in nothing; only "either" compares whole texts
  // for equality, as rules always did.
  if (*rule.kind != MatchKind::Either && subject.text().empty()) return false;
  switch (*rule.kind) {
    case MatchKind::Either: {
      const FoldedText& folded = searched.words[rule.searched];
      return folded.contains(subject.folded()) || folded == subject.folded() ||
             searched.inSubject[rule.searched];
    }
    case MatchKind::Contains:
      return bool(searched.inSubject[rule.searched]);
    case MatchKind::Words:
      return subject.index().contains(subject.segmenter().segments(word));
    case MatchKind::Start:
      return subject.segments().beginsWith(subject.segmenter().segments(word));
    case MatchKind::Exact: {
      const FoldedText wanted(platform::text::trimSpaceAndPunctuation(word));
      return !wanted.utf8().empty() && wanted == subject.trimmed();
    }
    case MatchKind::Pattern: {
      const auto pattern = platform::text::Pattern::compile(word);
      if (!pattern) {
        return platform::Failure{
            fmt::format("the pattern of rule \"{}\" is not valid: {}", word, pattern.reason())};
      }
      return pattern->foundIn(subject.forPatterns());
    }
  }
  return false;
}

}  // namespace

RuleSearch searchRuleSet(const platform::Dictionary* ruleSet, std::string_view subject) {
  if (!ruleSet) return {};
  // A rule set is tried in the byte order of its match words, the order in
  // which the dictionary keeps its keys. The rule file fixes no order, so
  // this one is the system's: with several matching words, the first in
  // this order decides the reply.
  std::vector<Rule> rules;
  Searched searched;
  rules.reserve(ruleSet->size());
  for (const auto& [word, values] : *ruleSet) {
    Rule& rule = rules.emplace_back(ruleOf(word, values));
    if (rule.kind == MatchKind::Either || rule.kind == MatchKind::Contains) {
      rule.searched = searched.words.size();
      searched.words.emplace_back(word);
    }
  }
  Subject tried(subject);
  if (!searched.words.empty()) {
    searched.inSubject = platform::text::containedIn(tried.folded(), searched.words);
  }
  RuleSearch search;
  for (const Rule& rule : rules) {
    const auto matched = tryRule(rule, tried, searched);
    if (!matched) {
      search.problems.push_back({.word = *rule.word, .why = matched.reason()});
    } else if (*matched) {
      search.word = *rule.word;
      return search;
    }
  }
  return search;
}

std::optional<std::string> findMatchingRule(const platform::Dictionary* ruleSet,
                                            std::string_view subject) {
  return searchRuleSet(ruleSet, subject).word;
}

RuleMatch matchRules(const platform::Dictionary& ruleFile, std::string_view owner,
                     std::string_view subject) {
  const platform::Dictionary* ruleSet = platform::lookUp(ruleFile, owner).dictionary();
  RuleSearch search = searchRuleSet(ruleSet, subject);
  RuleMatch match{.problems = std::move(search.problems)};
  if (!search.word) return match;
  // A rule that is not a dictionary has no values: every fallback applies.
  static const platform::Dictionary kNoValues;
  const platform::Dictionary* found = platform::lookUp(*ruleSet, *search.word).dictionary();
  const platform::Dictionary& rule = found ? *found : kNoValues;
  auto matchWord = textValue(rule, format::kCustomMatch);
  const platform::Value& delay = platform::lookUp(rule, format::kCustomMatchReDelay);
  match.rule = MatchedRule{
      .word = *search.word,
      .storedMatch = platform::lookUp(rule, format::kCustomMatch),
      .storedReply = platform::lookUp(rule, format::kCustomMatchRe),
      .storedDelay = delay,
      .customMatch = matchWord.empty() ? std::string(format::kNoWordSentinel) : matchWord,
      .customMatchRe = replyOrBusyText(textValue(rule, format::kCustomMatchRe)),
      .customMatchReDelay = textValue(rule, format::kCustomMatchReDelay).empty()
                                ? platform::Value(format::kDefaultDelay)
                                : delay,
  };
  return match;
}

}  // namespace mornaq
