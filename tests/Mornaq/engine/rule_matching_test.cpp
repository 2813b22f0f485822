#include "Mornaq/engine/rule_matching.h"

#include <gtest/gtest.h>

#include <random>

#include "Mornaq/engine/incoming_message.h"
#include "common/settings_format.h"
#include "platform/text/text.h"

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
    const auto rule = mornaq::matchRule(ruleFile, "owner", "hi there");
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->storedMatch.description(), row.storedMatch);
    EXPECT_EQ(rule->storedReply.description(), row.storedReply);
    EXPECT_EQ(rule->storedDelay.description(), row.storedDelay);
    EXPECT_EQ(rule->customMatch, row.match);
    EXPECT_EQ(rule->customMatchRe, row.reply);
    EXPECT_EQ(rule->customMatchReDelay.description(), row.delay);
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
