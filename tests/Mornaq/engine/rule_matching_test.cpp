#include "Mornaq/engine/rule_matching.h"

#include <gtest/gtest.h>

#include <random>

#include "Mornaq/engine/incoming_message.h"
#include "common/settings_format.h"
#include "platform/text/text.h"

namespace mornaq {
void PrintTo(const RuleProblem& problem, std::ostream* out) {
  *out << problem.word << ": " << problem.why;
}
}  // namespace mornaq

namespace {

using platform::Dictionary;
using platform::Value;

Dictionary ruleSetOf(std::initializer_list<std::string> words) {
  Dictionary ruleSet;
  for (const auto& word : words) ruleSet.emplace(word, Dictionary{});
  return ruleSet;
}

TEST(FindMatchingRule, WordAndSubjectMatchWhenEitherContainsTheOtherIgnoringCase) {
  struct Row {
    const char* word;
    const char* subject;
    bool matches;
  };
  const std::vector<Row> rows = {
      {"hi", "hi", true},
      {"hi", "THIS", true},               // the subject contains the word
      {"Oh hi there", "hi", true},        // the word contains the subject
      {"hi", "Nothing this week", true},  // no regard to word boundaries
      {"HELLO", "hello", true},
      {"hello", "help", false},
      {"sms", "NOSMS", true},
      {"nosms", "NOSMS", true},
      {"no", "NOSMS", true},
      {"yes", "NOSMS", false},
      {"word", "", false},  // an empty subject is found in nothing
      // Full case folding and canonical equivalence.
      {"STRASSE", "straße", true},
      {"Grüße", "GRÜSSE aus Wien", true},
      {"caf\u00e9", "CAFE\u0301", true},
      {"cafe\u0301 noir", "Caf\u00c9", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.word) + " / " + row.subject);
    const Dictionary ruleSet = ruleSetOf({row.word});
    const auto found = mornaq::findMatchingRule(&ruleSet, row.subject);
    EXPECT_EQ(found, row.matches ? std::optional<std::string>(row.word) : std::nullopt);
  }
}

TEST(FindMatchingRule, TriesWordsInByteOrderAndStopsAtTheFirstMatch) {
  const Dictionary ruleSet = ruleSetOf({"zzz", "hello", "Hello there", "bye"});
  // "Hello there" sorts before "bye", "hello" and "zzz" (upper case first).
  EXPECT_EQ(mornaq::findMatchingRule(&ruleSet, "hello"), "Hello there");
  EXPECT_EQ(mornaq::findMatchingRule(&ruleSet, "goodbye"), "bye");
  EXPECT_EQ(mornaq::findMatchingRule(&ruleSet, "nothing"), std::nullopt);
  EXPECT_EQ(mornaq::findMatchingRule(nullptr, "hello"), std::nullopt);
}

// The first rule, in order, for which a search of each word on its own matches: what the rules
// answered when every test searched afresh.
std::optional<std::string> firstMatchSearchingEachWord(const Dictionary& ruleSet,
                                                       const std::string& subject) {
  using platform::text::containsIgnoringCase;
  for (const auto& entry : ruleSet) {
    const std::string& word = entry.first;
    if (containsIgnoringCase(word, subject) || platform::text::equalsIgnoringCase(word, subject) ||
        containsIgnoringCase(subject, word)) {
      return word;
    }
  }
  return std::nullopt;
}

TEST(FindMatchingRule, AnswersAsSearchingEachWordOnItsOwnOverGeneratedRules) {
  const std::vector<std::string> pieces = {"a", "B", "\u00e9", "E\u0301", "\u00df", "ss", " "};
  std::mt19937 random(3);
  // A long subject has no spaces, so that the words with one fail and the first match lies
  // deeper in the rule set.
  const auto text = [&](std::size_t length, std::size_t kinds = 7) {
    std::string generated;
    for (std::size_t i = 0; i < length; ++i) generated += pieces[random() % kinds];
    return generated;
  };
  for (int trial = 0; trial < 60; ++trial) {
    const bool longSubject = trial % 3 == 0;
    Dictionary ruleSet;
    for (int i = 0; i < (longSubject ? 300 : 8); ++i)
      ruleSet.emplace(text(random() % 9), Dictionary{});
    const std::string subject = longSubject ? text(400, 6) : text(random() % 6);
    SCOPED_TRACE("trial " + std::to_string(trial) + ": " + subject);
    EXPECT_EQ(mornaq::findMatchingRule(&ruleSet, subject),
              firstMatchSearchingEachWord(ruleSet, subject));
  }
}

TEST(MatchRule, ReportsTheRuleAsStoredAndWithItsFallbacks) {
  const std::string busy(mornaq::format::kBusyText);
  struct Row {
    const char* name;
    Value rule;                                         // the value under the match word "hi"
    std::string storedMatch, storedReply, storedDelay;  // as "%@" prints them
    std::string match, reply, delay;
  };
  const std::vector<Row> rows = {
      {"complete",
       Dictionary{{"customMatch", "hi"}, {"customMatchRe", "Hello!"}, {"customMatchReDelay", "7"}},
       "hi", "Hello!", "7", "hi", "Hello!", "7"},
      {"missing values", Dictionary{}, "(null)", "(null)", "(null)", "NOMATCH", busy, "3"},
      {"empty values",
       Dictionary{{"customMatch", ""}, {"customMatchRe", ""}, {"customMatchReDelay", ""}}, "", "",
       "", "NOMATCH", busy, "3"},
      {"numbers", Dictionary{{"customMatch", 5}, {"customMatchRe", 42}, {"customMatchReDelay", 10}},
       "5", "42", "10", "5", "42", "10"},
      {"delay kept as typed", Dictionary{{"customMatchReDelay", "2.9"}}, "(null)", "(null)", "2.9",
       "NOMATCH", busy, "2.9"},
      {"not a dictionary", Value("oops"), "(null)", "(null)", "(null)", "NOMATCH", busy, "3"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Dictionary ruleFile{{"owner", Dictionary{{"hi", row.rule}}}};
    const auto rule = mornaq::matchRules(ruleFile, "owner", "hi there").rule;
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->storedMatch.description(), row.storedMatch);
    EXPECT_EQ(rule->storedReply.description(), row.storedReply);
    EXPECT_EQ(rule->storedDelay.description(), row.storedDelay);
    EXPECT_EQ(rule->customMatch, row.match);
    EXPECT_EQ(rule->customMatchRe, row.reply);
    EXPECT_EQ(rule->customMatchReDelay.description(), row.delay);
  }
}

Dictionary ruleOfKind(const char* kind) {
  return *kind ? Dictionary{{"customMatchKind", kind}} : Dictionary{};
}

TEST(FindMatchingRule, EachMatchKindAtItsEdges) {
  struct Row {
    const char* kind;  // "": absent
    const char* word;
    const char* subject;
    bool matches;
  };
  const std::vector<Row> rows = {
      {"", "hi", "Nothing this week", true},
      {"either", "Oh hi there", "HI", true},
      {"either", "hi", "", false},
      {"contains", "hi", "THIS", true},
      {"contains", "Oh hi there", "hi", false},  // the word must be in the message
      {"contains", "STRASSE", "Gr\u00fc\u00dfe aus der Stra\u00dfe", true},
      {"contains", "hi", "", false},
      {"words", "hi", "Hi! how are you", true},
      {"words", "hi", "Nothing this week", false},
      {"words", "\u4eac\u90fd", "\u6771\u4eac\u90fd\u306b\u884c\u304d\u307e\u3059", false},  // 京都
      {"words", "\u6771\u4eac", "\u6771\u4eac\u90fd\u306b\u884c\u304d\u307e\u3059", true},  // 東京
      {"words", "\u5317\u4eac", "\u6211\u60f3\u4e70\u4e00\u5f20\u53bb\u5317\u4eac\u7684\u7968",
       true},
      {"words", "\u0e04\u0e23\u0e31\u0e1a",
       "\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35\u0e04\u0e23\u0e31\u0e1a", true},
      {"words", "\u0e04\u0e23", "\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35\u0e04\u0e23\u0e31\u0e1a",
       false},
      {"words", "don't", "I DON'T know", true},
      {"words", "don", "I don't know", false},
      {"words", "\U0001F355", "I want\U0001F355 now", true},
      {"words", "price list", "the PRICE  LIST, please", true},
      {"words", "caf\u00e9", "CAFE\u0301!", true},
      {"words", "price?", "what's the price?", true},
      {"words", "hi", "", false},
      {"words", "", "hi", false},
      {"start", "hi", "\u00a1Hi there", true},
      {"start", "hi", "Hire me", false},
      {"start", "hi", "oh hi", false},
      {"start", "\u00bfqu\u00e9", "Que\u0301 tal?", true},
      {"start", "don't", "\"Don't go\"", true},
      {"start", "\U0001F355", "\U0001F355\U0001F355 please", true},
      {"start", "...", "... hi", false},  // no words to begin with
      {"start", "hi", "", false},
      {"exact", "Hi!", "hi", true},
      {"exact", "hi", "hi there", false},
      {"exact", "price?", "  PRICE\u2026 ", true},
      {"exact", "caf\u00e9", "\u00a1CAFE\u0301!", true},
      {"exact", "don't", "Don't!", true},
      {"exact", "\u6771\u4eac", "\u300c\u6771\u4eac\u300d\u3002", true},  // 「東京」。
      {"exact", "\U0001F355", "\U0001F355!", true},
      {"exact", "?", "?", false},        // nothing is left of either
      {"exact", "$5", "$5.", true},      // a symbol is not punctuation
      {"exact", "\xff", "\xff!", true},  // nor is a byte that is not UTF-8
      {"exact", "hi", "", false},
      {"pattern", "order #?\\d+", "Where is ORDER 1234?", true},
      {"pattern", "^hi\\b", "this", false},
      {"pattern", "caf\u00e9", "CAFE\u0301", true},
      {"pattern", "^$", "", false},  // an empty text is found in nothing
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.kind) + ": " + row.word + " / " + row.subject);
    const Dictionary ruleSet{{row.word, ruleOfKind(row.kind)}};
    const auto found = mornaq::searchRuleSet(&ruleSet, row.subject);
    EXPECT_EQ(found.word, row.matches ? std::optional<std::string>(row.word) : std::nullopt);
    EXPECT_TRUE(found.problems.empty());
  }
}

TEST(MatchRules, SkipsAndReportsRulesThatCannotBeTried) {
  const Dictionary ruleSet{
      {"(order", Dictionary{{"customMatchKind", "pattern"}}},
      {"Hello", Dictionary{{"customMatchKind", "fuzzy"}}},
      {"Howdy", Dictionary{{"customMatchKind", 5}}},
      {"hi", Dictionary{{"customMatchKind", "words"}, {"customMatchRe", "Hello!"}}},
      {"zz[", Dictionary{{"customMatchKind", "pattern"}}},
  };
  const Dictionary ruleFile{{"owner", ruleSet}};
  const std::vector<mornaq::RuleProblem> before = {
      {"(order", "the pattern of rule \"(order\" is not valid: missing )"},
      {"Hello", "the match kind \"fuzzy\" of rule \"Hello\" is not known"},
      {"Howdy", "the match kind \"5\" of rule \"Howdy\" is not known"},
  };
  const auto match = mornaq::matchRules(ruleFile, "owner", "hi there");
  ASSERT_TRUE(match.rule);
  EXPECT_EQ(match.rule->word, "hi");
  EXPECT_EQ(match.rule->customMatchRe, "Hello!");
  EXPECT_EQ(match.problems, before);  // the rules after the match are not tried
  auto all = before;
  all.push_back({"zz[", "the pattern of rule \"zz[\" is not valid: missing ]: ["});
  const auto none = mornaq::matchRules(ruleFile, "owner", "nothing");
  EXPECT_FALSE(none.rule);
  EXPECT_EQ(none.problems, all);
}

TEST(FindMatchingRule, AHostilePatternIsAnsweredAndTheNextRuleTried) {
  const Dictionary ruleSet{{"!", Dictionary{{"customMatchKind", "contains"}}},
                           {"(a+)+$", Dictionary{{"customMatchKind", "pattern"}}}};
  // "(a+)+$" sorts after "!": the pattern is tried alone first.
  const Dictionary patternAlone{*std::next(ruleSet.begin())};
  const std::string subject = std::string(100'000, 'a') + "!";
  EXPECT_EQ(mornaq::findMatchingRule(&patternAlone, subject), std::nullopt);
  EXPECT_EQ(mornaq::findMatchingRule(&ruleSet, subject), "!");
}

// Rules of every kind tried together answer as each rule tried alone, in
// order: what one search shares between rules changes no answer.
TEST(SearchRuleSet, AnswersAsTryingEachRuleAloneOverGeneratedRules) {
  const std::vector<std::string> pieces = {"a", "B", "\u00e9", "E\u0301", "\u6771\u4eac",
                                           "!", " ", "("};
  const std::vector<const char*> kinds = {"",      "either", "contains", "words",
                                          "start", "exact",  "pattern",  "fuzzy"};
  std::mt19937 random(11);
  const auto text = [&](std::size_t length) {
    std::string generated;
    for (std::size_t i = 0; i < length; ++i) generated += pieces[random() % pieces.size()];
    return generated;
  };
  for (int trial = 0; trial < 150; ++trial) {
    Dictionary ruleSet;
    for (int i = 0; i < 6; ++i)
      ruleSet.emplace(text(random() % 5), ruleOfKind(kinds[random() % kinds.size()]));
    const std::string subject = text(random() % 12);
    SCOPED_TRACE("trial " + std::to_string(trial) + ": " + subject);
    mornaq::RuleSearch alone;
    for (const auto& rule : ruleSet) {
      const Dictionary single{rule};
      auto tried = mornaq::searchRuleSet(&single, subject);
      alone.problems.insert(alone.problems.end(), tried.problems.begin(), tried.problems.end());
      if ((alone.word = tried.word)) break;
    }
    const auto together = mornaq::searchRuleSet(&ruleSet, subject);
    EXPECT_EQ(together.word, alone.word);
    EXPECT_EQ(together.problems, alone.problems);
  }
}

TEST(ContactKey, RemovesEveryAddressBookSuffixInOnePass) {
  struct Row {
    std::optional<std::string> identifier;
    std::optional<std::string> key;
  };
  const std::vector<Row> rows = {
      {std::nullopt, std::nullopt},
      {"", ""},
      {"410FE041-5C4E:ABPerson", "410FE041-5C4E"},
      {"A:ABPersonB:ABPerson", "AB"},
      {":ABPerson", ""},
      {"plain", "plain"},
      {":abperson", ":abperson"},           // case matters
      {":AB:ABPersonPerson", ":ABPerson"},  // what is left is not searched again
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.identifier.value_or("(null)"));
    EXPECT_EQ(mornaq::contactKey(row.identifier), row.key);
  }
}

}  // namespace
