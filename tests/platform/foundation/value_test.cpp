#include "platform/foundation/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <regex>
#include <string>

#include "platform/runtime/runtime.h"
#include "tests/support/test_process.h"

namespace {

using platform::Array;
using platform::Data;
using platform::Date;
using platform::Dictionary;
using platform::Unsigned;
using platform::Value;

constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
constexpr auto kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ValueTest, BoolValueOfStringsFollowsFoundation) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"0001", true}, {"000", false}, {" -5", true},  {"yes", true},      {"NO", false},
      {"", false},    {"Y", true},    {"true", true}, {"\t\n+007", true}, {"-0", false},
      {"0.5", false}, {"x1", false},  {"- 1", false}, {"+-1", false},     {"9", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Value(c.text).boolValue(), c.expected) << '"' << c.text << '"';
  }
}

TEST(ValueTest, BoolValueOfOtherValues) {
  EXPECT_TRUE(Value(true).boolValue());
  EXPECT_FALSE(Value(false).boolValue());
  EXPECT_TRUE(Value(-1).boolValue());
  EXPECT_FALSE(Value(0).boolValue());
  EXPECT_TRUE(Value(0.1).boolValue());
  EXPECT_FALSE(Value(0.0).boolValue());
  EXPECT_TRUE(Value(Unsigned{std::numeric_limits<std::uint64_t>::max()}).boolValue());
  EXPECT_FALSE(Value().boolValue());
  EXPECT_FALSE(Value(Array{1}).boolValue());
  EXPECT_FALSE(Value(Data{{1}}).boolValue());
}

TEST(ValueTest, LongLongValueOfStringsReadsALeadingWholeNumberAndSaturates) {
  const struct {
    const char* text;
    std::int64_t expected;
  } cases[] = {
      {"2.9", 2},
      {"abc", 0},
      {"-5", -5},
      {"  42x", 42},
      {"+7", 7},
      {"- 5", 0},
      {"", 0},
      {"9223372036854775807", kMax},
      {"9223372036854775808", kMax},
      {"99999999999999999999999", kMax},
      {"-9223372036854775808", kMin},
      {"-9223372036854775809", kMin},
      {"-99999999999999999999999", kMin},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Value(c.text).longLongValue(), c.expected) << '"' << c.text << '"';
  }
}

TEST(ValueTest, LongLongValueOfNumbersTruncatesAndSaturates) {
  const struct {
    Value value;
    std::int64_t expected;
  } cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {1e300, kMax},
      {-1e300, kMin},
      {0x1p63, kMax},
      {-0x1p63, kMin},
      {9.2e18, 9'200'000'000'000'000'000},
      {kNaN, 0},
      {true, 1},
      {false, 0},
      {Unsigned{5}, 5},
      {Unsigned{std::numeric_limits<std::uint64_t>::max()}, kMax},
      {Value(), 0},
      {Date{100}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.value.longLongValue(), c.expected) << c.value.description();
  }
}

TEST(ValueTest, StringValueOfNumbersIsTheirDecimalText) {
  const struct {
    Value value;
    std::optional<std::string> expected;
  } cases[] = {
      {"text", "text"},
      {true, "1"},
      {false, "0"},
      {-5, "-5"},
      {kMin, "-9223372036854775808"},
      {Unsigned{std::numeric_limits<std::uint64_t>::max()}, "18446744073709551615"},
      {2.5, "2.5"},
      {3.0, "3"},
      {0.1, "0.1"},
      {1e300, "1e+300"},
      {Value(), std::nullopt},
      {Data{{1}}, std::nullopt},
      {Array{}, std::nullopt},
      {Date{0}, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.value.stringValue(), c.expected) << c.value.description();
  }
}

TEST(ValueTest, DescriptionOfScalars) {
  const struct {
    Value value;
    std::string expected;
  } cases[] = {
      {Value(), "(null)"},
      {"two words", "two words"},
      {2.5, "2.5"},
      {true, "1"},
      {Data{{0x68, 0x00, 0xff}}, "{length = 3, bytes = 0x6800ff}"},
      {Date{0}, "2001-01-01 00:00:00 +0000"},
      {Date{-0.5}, "2000-12-31 23:59:59 +0000"},
      {Date{599'627'045}, "2020-01-02 03:04:05 +0000"},
      {Date{1e300}, "9999-12-31 23:59:59 +0000"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.description(), c.expected);
}

TEST(ValueTest, DescriptionOfCollectionsUsesTheOldStyleFormat) {
  const Value value(Dictionary{
      {"name", "Mornaq_2"},
      {"a b", true},
      {"empty", ""},
      {"quote", "say \"hi\"\\\nbye"},
      {"rules", Array{1, "two words", Dictionary{}, Array{}}},
  });
  EXPECT_EQ(value.description(),
            "{\n"
            "    \"a b\" = 1;\n"
            "    empty = \"\";\n"
            "    name = Mornaq_2;\n"
            "    quote = \"say \\\"hi\\\"\\\\\\nbye\";\n"
            "    rules = (\n"
            "        1,\n"
            "        \"two words\",\n"
            "        {\n"
            "        },\n"
            "        (\n"
            "        )\n"
            "    );\n"
            "}");
}

TEST(ValueTest, DescriptionOfAHostObjectNamesItsClass) {
  testing_support::TestProcess test;
  const auto thing = test.process().runtime().defineClass("CKThing");
  const Value value(platform::Runtime::createInstance(thing));
  EXPECT_TRUE(std::regex_match(value.description(), std::regex("<CKThing: 0x[0-9a-f]+>")))
      << value.description();
}

TEST(ValueTest, LookUpFindsTheKeyOrNil) {
  const Dictionary dictionary{{"on", true}};
  EXPECT_EQ(platform::lookUp(dictionary, "on"), Value(true));
  EXPECT_TRUE(platform::lookUp(dictionary, "off").isNil());
}

// A dictionary value is a value like any other: a copy is a dictionary of
// its own, equal until one of them changes, and a move hands the entries on.
TEST(ValueTest, DictionaryValuesCopyAndMoveAsValues) {
  Value original(Dictionary{{"inner", Dictionary{{"n", 1}}}});
  Value copy = original;
  EXPECT_EQ(copy, original);
  (*(*copy.dictionary())["inner"].dictionary())["n"] = 2;
  EXPECT_EQ(platform::lookUp(*platform::lookUp(*original.dictionary(), "inner").dictionary(), "n"),
            Value(1));
  EXPECT_NE(copy, original);
  copy = original;
  EXPECT_EQ(copy, original);

  Value moved = std::move(copy);
  EXPECT_EQ(moved, original);
  Array list{moved, Value(Dictionary{})};
  list.insert(list.begin(), Value("first"));  // entries relocate with the array
  EXPECT_EQ(list[1], original);
  EXPECT_TRUE(list[2].dictionary()->empty());
}

}  // namespace
