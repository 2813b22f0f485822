#include "MornaqPrefs/support/ordered_dictionary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using mornaqprefs::DescriptionForObject;
using mornaqprefs::OrderedDictionary;
using platform::Value;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

OrderedDictionary withKeys(std::initializer_list<const char*> keys) {
  OrderedDictionary dictionary;
  int n = 1;
  for (const char* key : keys) dictionary.setObject(n++, key);
  return dictionary;
}

std::vector<std::string> forward(const OrderedDictionary& d) {
  std::vector<std::string> keys;
  for (const auto& key : d.keyEnumerator()) keys.push_back(key);
  return keys;
}

std::vector<std::string> backward(const OrderedDictionary& d) {
  std::vector<std::string> keys;
  for (const auto& key : d.reverseKeyEnumerator()) keys.push_back(key);
  return keys;
}

TEST(OrderedDictionaryTest, KeysKeepTheOrderTheyWereAddedIn) {
  auto d = withKeys({"c", "a", "b"});
  EXPECT_THAT(forward(d), ElementsAre("c", "a", "b"));
  EXPECT_THAT(d.allKeys(), ElementsAre("c", "a", "b"));
  EXPECT_THAT(backward(d), ElementsAre("b", "a", "c"));
  EXPECT_EQ(d.keyAtIndex(1), "a");
  EXPECT_EQ(d.objectForKey("a"), Value(2));
  EXPECT_TRUE(d.objectForKey("zzz").isNil());
  EXPECT_THAT(backward(OrderedDictionary()), IsEmpty());
}

TEST(OrderedDictionaryTest, ReplacingAnObjectKeepsTheKeysPlace) {
  auto d = withKeys({"a", "b", "c"});
  d.setObject("new", "a");
  EXPECT_THAT(forward(d), ElementsAre("a", "b", "c"));
  EXPECT_EQ(d.count(), 3u);
  EXPECT_EQ(d.objectForKey("a"), Value("new"));
}

TEST(OrderedDictionaryTest, RemovingTakesTheKeyOutAndAnAbsentKeyChangesNothing) {
  auto d = withKeys({"a", "b", "c"});
  d.removeObjectForKey("absent");
  EXPECT_THAT(forward(d), ElementsAre("a", "b", "c"));
  EXPECT_EQ(d.count(), 3u);
  d.removeObjectForKey("b");
  EXPECT_THAT(forward(d), ElementsAre("a", "c"));
  EXPECT_EQ(d.count(), 2u);
  EXPECT_TRUE(d.objectForKey("b").isNil());
}

struct InsertCase {
  const char* key;
  std::size_t index;
  std::vector<std::string> order;
};

TEST(OrderedDictionaryTest, InsertingPlacesTheKeyAfterTakingOutAPresentOne) {
  const InsertCase cases[] = {
      {"b", 2, {"a", "c", "b"}},  // b leaves first, then goes to 2 of [a, c]
      {"b", 0, {"b", "a", "c"}},
      {"a", 2, {"b", "c", "a"}},       // the index counts the keys left: 2 appends
      {"d", 3, {"a", "b", "c", "d"}},  // an index equal to the count appends
      {"d", 1, {"a", "d", "b", "c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " at " + std::to_string(c.index));
    auto d = withKeys({"a", "b", "c"});
    d.insertObject("inserted", c.key, c.index);
    EXPECT_EQ(forward(d), c.order);
    EXPECT_EQ(d.count(), c.order.size());
    EXPECT_EQ(d.objectForKey(c.key), Value("inserted"));
  }
}

TEST(OrderedDictionaryTest, CopyHoldsTheSamePairs) {
  auto d = withKeys({"b", "a"});
  EXPECT_EQ(d.copy(), (platform::Dictionary{{"a", 2}, {"b", 1}}));
}

struct DescriptionCase {
  const char* what;
  OrderedDictionary dictionary;
  std::size_t level;
  const char* text;
};

OrderedDictionary pairs(std::vector<std::pair<std::string, Value>> entries) {
  OrderedDictionary d;
  for (auto& [key, value] : entries) d.setObject(value, key);
  return d;
}

// Random edits against a list of pairs: after each one, every index gives the
// key and the value the list has there, by index and by key alike, and so do
// copies taken along the way, which later edits of the original leave alone.
TEST(OrderedDictionaryTest, PairsByIndexFollowEveryEditAndEveryCopy) {
  using Pairs = std::vector<std::pair<std::string, Value>>;
  const auto expectHolds = [](const OrderedDictionary& d, const Pairs& pairs) {
    ASSERT_EQ(d.count(), pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      EXPECT_EQ(d.keyAtIndex(i), pairs[i].first);
      EXPECT_EQ(d.objectAtIndex(i), pairs[i].second);
      EXPECT_EQ(d.objectForKey(pairs[i].first), pairs[i].second);
    }
  };
  std::mt19937 random(7);
  OrderedDictionary d;
  Pairs pairs;
  std::vector<std::pair<OrderedDictionary, Pairs>> copies;
  for (int step = 0; step < 400; ++step) {
    const std::string key(1, static_cast<char>('a' + random() % 12));
    const Value value(static_cast<std::int64_t>(step));
    const auto kept = std::find_if(pairs.begin(), pairs.end(),
                                   [&key](const auto& pair) { return pair.first == key; });
    switch (random() % 5) {
      case 0:
      case 1:
        d.setObject(value, key);
        if (kept != pairs.end()) {
          kept->second = value;
        } else {
          pairs.emplace_back(key, value);
        }
        break;
      case 2:
        d.removeObjectForKey(key);
        if (kept != pairs.end()) pairs.erase(kept);
        break;
      case 3: {
        if (kept != pairs.end()) pairs.erase(kept);
        const auto index = random() % (pairs.size() + 1);
        d.insertObject(value, key, index);
        pairs.insert(pairs.begin() + static_cast<std::ptrdiff_t>(index), {key, value});
        break;
      }
      default:
        if (copies.size() < 4) {
          copies.emplace_back(d, pairs);  // copied by construction
        } else {
          auto& [copy, copied] = copies[random() % copies.size()];
          copy = d;  // copied by assignment
          copied = pairs;
        }
    }
    expectHolds(d, pairs);
  }
  for (const auto& [copy, copied] : copies) expectHolds(copy, copied);
}

TEST(OrderedDictionaryTest, PrintsItsTextFormAtEachLevel) {
  const Value nested = platform::Dictionary{{"k", 1}, {"x", "y z"}};
  const DescriptionCase cases[] = {
      {"empty at level 0", {}, 0, "{\n}\n"},
      {"empty at level 1", {}, 1, "    {\n    }\n"},
      {"pairs in insertion order", pairs({{"b", 2}, {"a", 1}}), 0,
       "{\n    b = 2;\n    a = 1;\n}\n"},
      {"strings print without quotes", pairs({{"first name", "Ann Lee"}}), 0,
       "{\n    first name = Ann Lee;\n}\n"},
      {"pairs at level 1", pairs({{"a", 1}}), 1, "    {\n        a = 1;\n    }\n"},
      {"a nested dictionary at level 0", pairs({{"n", nested}}), 0,
       "{\n    n = {\n    k = 1;\n    x = \"y z\";\n};\n}\n"},
      {"a nested dictionary at level 1, printed at that same level", pairs({{"n", nested}}), 1,
       "    {\n        n = {\n        k = 1;\n        x = \"y z\";\n    };\n    }\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.dictionary.descriptionWithLocale(std::nullopt, c.level), c.text);
  }
}

TEST(OrderedDictionaryTest, DescribesOneObject) {
  EXPECT_EQ(DescriptionForObject("with \"quotes\"", std::nullopt, 3), "with \"quotes\"");
  EXPECT_EQ(DescriptionForObject(42, std::nullopt, 1), "42");
  EXPECT_EQ(DescriptionForObject(platform::Array{1, "a b"}, std::nullopt, 0),
            "(\n    1,\n    \"a b\"\n)");
  EXPECT_EQ(DescriptionForObject(platform::Array{1}, std::nullopt, 2),
            "(\n            1\n        )");
}

TEST(OrderedDictionaryDeathTest, IndexesBeyondTheKeysStop) {
  EXPECT_DEATH(withKeys({"a"}).keyAtIndex(1), "beyond bounds");
  EXPECT_DEATH(withKeys({"a", "b"}).insertObject(1, "b", 2), "beyond bounds");
  EXPECT_DEATH(withKeys({"a"}).setObject(Value(), "b"), "nil object");
}

}  // namespace
