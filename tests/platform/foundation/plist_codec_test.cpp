#include "platform/foundation/plist_codec.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <plist/plist.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/foundation/big_endian.h"
#include "platform/runtime/runtime.h"
#include "tests/support/result_matchers.h"
#include "tests/support/test_process.h"

namespace {

using platform::Array;
using platform::Data;
using platform::Date;
using platform::Dictionary;
using platform::parsePropertyList;
using platform::serializePropertyList;
using platform::Unsigned;
using platform::Value;
using testing_support::FailsWith;
using testing_support::Holds;

constexpr auto kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr auto kUInt64Max = std::numeric_limits<std::uint64_t>::max();
constexpr auto kInfinity = std::numeric_limits<double>::infinity();
constexpr double kYear1 = -63'113'904'000;     // 0001-01-01T00:00:00Z
constexpr double kYear2100 = 3'124'137'600;    // 2100-01-01T00:00:00Z
constexpr double kYear4001 = 63'113'904'000;   // 4001-01-01T00:00:00Z, Foundation's distantFuture
constexpr double kMoonLanding = -992'490'140;  // 1969-07-20T20:17:40Z

std::string xmlPlist(std::string_view body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + std::string(body) +
         "</plist>\n";
}

std::string repeated(std::string_view text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

std::string nestedArrays(int depth) {
  return repeated("<array>", depth) + repeated("</array>", depth);
}

Value nestedArrayValue(int depth) {
  Value value = Array{};
  for (int i = 1; i < depth; ++i) {
    Array outer;
    outer.push_back(std::move(value));
    value = std::move(outer);
  }
  return value;
}

// What libplist itself makes of XML, written as a binary list.
std::string binaryTwin(std::string_view xml) {
  plist_t root = nullptr;
  plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &root);
  char* bytes = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(root, &bytes, &length);
  std::string binary(bytes, length);
  plist_to_bin_free(bytes);
  plist_free(root);
  return binary;
}

std::string binaryOfNode(plist_t node) {
  char* bytes = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(node, &bytes, &length);
  std::string binary(bytes, length);
  plist_to_bin_free(bytes);
  plist_free(node);
  return binary;
}

void appendBigEndian(std::string& bytes, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

// A binary list made by hand from raw objects, object 0 at the top, four-byte offsets and
// references: for shapes no honest writer makes.
std::string binaryList(const std::vector<std::string>& objects) {
  std::string bytes = "bplist00";
  std::vector<std::uint64_t> offsets;
  for (const auto& object : objects) {
    offsets.push_back(bytes.size());
    bytes += object;
  }
  const auto offsetTable = bytes.size();
  for (const auto offset : offsets) appendBigEndian(bytes, offset, 4);
  bytes += std::string(6, '\0');
  bytes += '\x04';
  bytes += '\x04';
  appendBigEndian(bytes, objects.size(), 8);
  appendBigEndian(bytes, 0, 8);
  appendBigEndian(bytes, offsetTable, 8);
  return bytes;
}

std::string containerObject(std::uint8_t kind, const std::vector<std::uint32_t>& references,
                            std::size_t count) {
  std::string object(1, static_cast<char>(kind << 4 | count));
  for (const auto reference : references) appendBigEndian(object, reference, 4);
  return object;
}

std::string arrayObject(const std::vector<std::uint32_t>& references) {
  return containerObject(0xA, references, references.size());
}

// A dictionary of one entry, its key object 1 and its value object 2.
std::string binaryDictionaryWithKey(std::string keyObject) {
  return binaryList({containerObject(0xD, {1, 2}, 1), std::move(keyObject), "\x51x"});
}

// Arrays each holding the next `fanOut` times; the last is empty. With a fan-out above one the
// expansion doubles (or more) at every level.
std::string binaryChain(int length, int fanOut = 1) {
  std::vector<std::string> objects;
  for (int i = 0; i + 1 < length; ++i) {
    objects.push_back(arrayObject(std::vector<std::uint32_t>(fanOut, i + 1)));
  }
  objects.push_back(arrayObject({}));
  return binaryList(objects);
}

// A binary list whose offset table a damaged disk block turned to zeros.
std::string zeroedOffsetTable(std::string binary) {
  const auto trailer = binary.size() - 32;
  const auto table = platform::readBigEndian(binary, trailer + 24, 8);
  const auto length = platform::readBigEndian(binary, trailer + 8, 8) * binary[trailer + 6];
  std::fill_n(binary.begin() + static_cast<std::ptrdiff_t>(table), length, '\0');
  return binary;
}

std::string randomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (auto& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

Value everyKindOfValue() {
  return Dictionary{
      {"bools", Array{true, false}},
      {"integers", Array{0, -1, 42, kInt64Min, kInt64Max, Unsigned{std::uint64_t{1} << 63},
                         Unsigned{kUInt64Max}}},
      {"reals", Array{0.1, 1e300, -2.5, 5e-324, 1.0 / 3, 0.0, 1e16, kInfinity, -kInfinity}},
      {"strings", Array{"", "plain", "<&>\"'", "Grüße 😀 日本語", "  spaced  ", "line\nbreak\ttab"}},
      {"data", Array{Data{}, Data{{0, 1, 2, 0xFF}}, Data{std::vector<std::uint8_t>(1000, 0xA5)}}},
      {"dates", Array{Date{0}, Date{599'627'045}, Date{kMoonLanding}, Date{kYear2100},
                      Date{kYear4001}, Date{kYear1}}},
      {"nested",
       Dictionary{{"deeper", Array{Dictionary{{"deepest", Array{Array{}}}}, Dictionary{}}}}},
      {"com.example.someone-else's key", Dictionary{{"Whatever", Array{Data{{7}}, Date{1}}}}},
      {"😀", "emoji key"},
      {"", "empty key"},
  };
}

TEST(PlistCodecTest, RoundTripKeepsEveryKindOfValue) {
  const Value value = everyKindOfValue();
  const std::string xml = serializePropertyList(value);
  EXPECT_THAT(parsePropertyList(xml), Holds(value));
  EXPECT_THAT(parsePropertyList(binaryTwin(xml)), Holds(value));
}

// Random values of every kind the XML form can say exactly: texts of many pieces (NUL, invalid
// UTF-8 such as the overlong C0 80 beside a NUL, markup) in strings and keys, integers over the
// whole signed and unsigned range, any real but NaN (which equals nothing), whole-second dates
// within years 1 to 9999.
class ValueGenerator {
 public:
  explicit ValueGenerator(std::uint32_t seed) : random_(seed) {}

  Value any(int depth) {
    switch (below(depth < 4 ? 10 : 8)) {
      case 0:
        return below(2) == 1;
      case 1:
        return static_cast<long long>(bits());
      case 2:
        return Unsigned{bits() | std::uint64_t{1} << 63};
      case 3:
        return real();
      case 4:
        return text();
      case 5:
        return Data{bytes()};
      case 6:
        return Date{static_cast<double>(below(kYear9999End - kYear1 + 1)) + kYear1};
      case 7:
        return below(2) == 1 ? 0 : static_cast<long long>(below(2000)) - 1000;
      case 8: {
        Array array;
        for (auto n = below(5); n > 0; --n) array.push_back(any(depth + 1));
        return array;
      }
      default: {
        Dictionary dictionary;
        for (auto n = below(5); n > 0; --n) dictionary.insert_or_assign(text(), any(depth + 1));
        return dictionary;
      }
    }
  }

 private:
  static constexpr long long kYear9999End = 252'423'993'599;

  std::uint64_t bits() { return std::uniform_int_distribution<std::uint64_t>()(random_); }
  std::uint64_t below(std::uint64_t n) { return bits() % n; }

  double real() {
    constexpr double kSpecial[] = {0.0, -0.0, kInfinity, -kInfinity, 5e-324, -1e308, 0.1, 1e16};
    if (below(3) == 0) return kSpecial[below(std::size(kSpecial))];
    const double real = std::bit_cast<double>(bits());
    return std::isnan(real) ? 1.5 : real;
  }

  std::vector<std::uint8_t> bytes() {
    std::vector<std::uint8_t> out(below(100));
    for (auto& byte : out) byte = static_cast<std::uint8_t>(bits());
    return out;
  }

  std::string text() {
    constexpr std::string_view kPieces[] = {"a",    " ",     "\n",   "\t",      "<",     ">",
                                            "&",    "&amp;", "]]>",  "\"",      "Grüße", "😀",
                                            "\xFF", "\xC3",  "\x01", "\xC0\x80"};
    std::string out;
    for (auto n = below(8); n > 0; --n) {
      if (below(6) == 0) {
        out += '\0';
      } else {
        out += kPieces[below(std::size(kPieces))];
      }
    }
    return out;
  }

  std::mt19937_64 random_;
};

TEST(PlistCodecTest, WhatIsWrittenReadsBackEqual) {
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    const Value value = ValueGenerator(seed).any(0);
    const std::string xml = serializePropertyList(value);
    ASSERT_THAT(parsePropertyList(xml), Holds(value)) << "seed " << seed << "\n" << xml;
  }
}

TEST(PlistCodecTest, RoundTripKeepsNaN) {
  const auto value = parsePropertyList(serializePropertyList(Array{std::nan("")}));
  ASSERT_TRUE(value && value->array() && value->array()->size() == 1);
  EXPECT_TRUE(std::isnan(std::get<double>(value->array()->front().storage())));
}

TEST(PlistCodecTest, WritesApplesXmlFormatWithSortedKeys) {
  const Value value = Dictionary{
      {"b", 1},
      {"a", "x<y & z>"},
      {"c", Array{true, 2.5, -5, Unsigned{kUInt64Max}}},
      {"B", Data{{'h', 'e', 'l', 'l', 'o'}}},
      {"d", Date{599'627'045.75}},
  };
  EXPECT_EQ(serializePropertyList(value),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            "<plist version=\"1.0\">\n"
            "<dict>\n"
            "\t<key>B</key>\n"
            "\t<data>\n"
            "\taGVsbG8=\n"
            "\t</data>\n"
            "\t<key>a</key>\n"
            "\t<string>x&lt;y &amp; z&gt;</string>\n"
            "\t<key>b</key>\n"
            "\t<integer>1</integer>\n"
            "\t<key>c</key>\n"
            "\t<array>\n"
            "\t\t<true/>\n"
            "\t\t<real>2.5</real>\n"
            "\t\t<integer>-5</integer>\n"
            "\t\t<integer>18446744073709551615</integer>\n"
            "\t</array>\n"
            "\t<key>d</key>\n"
            "\t<date>2020-01-02T03:04:05Z</date>\n"
            "</dict>\n"
            "</plist>\n");
}

TEST(PlistCodecTest, WritesValuesLibplistWouldChangeInTheFormOtherReadersAccept) {
  const struct {
    Value value;
    std::string element;
  } cases[] = {
      {Date{kYear1}, "<date>0001-01-01T00:00:00Z</date>"},
      {Date{kYear1 + 86'400 * 365 * 99.0}, "<date>0099-12-08T00:00:00Z</date>"},
      {-0.0, "<real>-0.0</real>"},
      {std::string("a\0b", 3), std::string("<string>a\0b</string>", 20)},
      {Dictionary{{std::string("k\0", 2), 1}}, std::string("<key>k\0</key>", 13)},
  };
  for (const auto& c : cases) {
    const std::string xml = serializePropertyList(c.value);
    EXPECT_NE(xml.find(c.element), std::string::npos) << xml;
    EXPECT_THAT(parsePropertyList(xml), Holds(c.value)) << xml;
  }
}

TEST(PlistCodecTest, LeavesOutWhatHasNoPropertyListForm) {
  testing_support::TestProcess test;
  const auto object =
      platform::Runtime::createInstance(test.process().runtime().lookUpClass("NSObject"));
  const Value value = Dictionary{
      {"kept", Array{1, Value(), object, 2}},
      {"nil", Value()},
      {"object", object},
  };
  EXPECT_THAT(parsePropertyList(serializePropertyList(value)),
              Holds(Value(Dictionary{{"kept", Array{1, 2}}})));
  EXPECT_EQ(serializePropertyList(Value()), "");
}

TEST(PlistCodecTest, DatesAreWrittenInWholeSecondsWithinYears1To9999) {
  const struct {
    double seconds;
    double readBack;
  } cases[] = {
      {599'627'045.75, 599'627'045},
      {-0.5, -1},
      {1e300, 252'423'993'599},
      {-1e300, kYear1},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(parsePropertyList(serializePropertyList(Date{c.seconds})),
                Holds(Value(Date{c.readBack})))
        << c.seconds;
  }
}

TEST(PlistCodecTest, ReadsTheTextsLibplistWouldMisreadOrThatAreEdgeCases) {
  const struct {
    std::string body;
    Value expected;
  } cases[] = {
      {"<integer> -5 </integer>", -5},
      {"<integer>+5</integer>", 5},
      {"<integer>-0</integer>", 0},
      {"<integer>-9223372036854775808</integer>", kInt64Min},
      {"<integer>9223372036854775808</integer>", Unsigned{std::uint64_t{1} << 63}},
      {"<integer>18446744073709551615</integer>", Unsigned{kUInt64Max}},
      {"<integer>007</integer>", 7},
      {"<integer>010</integer>", 10},
      {"<integer>0x10</integer>", 16},
      {"<integer>0X1f</integer>", 31},
      {"<integer>-0x10</integer>", -16},
      {"<integer>- 5</integer>", -5},
      {"<integer>00</integer>", 0},
      {"<integer>0x00</integer>", 0},
      {"<integer>-0x8000000000000000</integer>", kInt64Min},
      {"<integer>0xFFFFFFFFFFFFFFFF</integer>", Unsigned{kUInt64Max}},
      {"<integer>" + std::string(40, '0') + "12</integer>", 12},
      {"<array><integer>08</integer><string>010</string><integer>09</integer></array>",
       Array{8, "010", 9}},
      {"<real>+infinity</real>", kInfinity},
      {"<real>-inf</real>", -kInfinity},
      {"<real>.5</real>", 0.5},
      {"<real>7</real>", 7.0},
      {"<real> 1e-400 </real>", 0.0},
      {"<date>1-01-01T00:00:00Z</date>", Date{kYear1}},
      {"<date>2100-01-01T00:00:00Z</date>", Date{kYear2100}},
      {"<date>1969-07-20T20:17:40Z</date>", Date{kMoonLanding}},
      {"<string>a&amp;b&lt;&#x41;&#66;</string>", "a&b<AB"},
      {"<string><![CDATA[<&>]]></string>", "<&>"},
      {"<!-- <array> --><true/>", true},
      {"<dict><key>k</key><integer>1</integer><key>k</key><integer>2</integer></dict>",
       Dictionary{{"k", 2}}},
      {nestedArrays(512), nestedArrayValue(512)},
      {"<array>" + repeated("<string>&amp;</string>", 20'000) + "</array>",
       Array(20'000, Value("&"))},
      {"<string>" + repeated("&amp;", 5'000) + "</string>", std::string(5'000, '&')},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(parsePropertyList(xmlPlist(c.body)), Holds(c.expected)) << c.body.substr(0, 80);
  }
}

TEST(PlistCodecTest, SkipsAByteOrderMark) {
  EXPECT_THAT(parsePropertyList("\xEF\xBB\xBF" + xmlPlist("<string>x</string>")),
              Holds(Value("x")));
}

TEST(PlistCodecTest, BinaryListsKeepWhatXmlCannotSay) {
  EXPECT_THAT(parsePropertyList(binaryOfNode(plist_new_date(100, 500'000))),
              Holds(Value(Date{100.5})));
  EXPECT_THAT(parsePropertyList(binaryOfNode(plist_new_date(0, -500'000))),
              Holds(Value(Date{-0.5})));
  EXPECT_THAT(parsePropertyList(binaryOfNode(plist_new_uid(7))),
              Holds(Value(Dictionary{{"CF$UID", 7}})));
}

TEST(PlistCodecTest, HandMadeBinaryListsOfSoundShapesRead) {
  EXPECT_THAT(parsePropertyList(binaryDictionaryWithKey("\x52"
                                                        "ab")),
              Holds(Value(Dictionary{{"ab", "x"}})));
  std::vector<std::string> objects{arrayObject(std::vector<std::uint32_t>(14, 1)), "\x51x"};
  EXPECT_THAT(parsePropertyList(binaryList(objects)), Holds(Value(Array(14, Value("x")))));
  EXPECT_THAT(parsePropertyList(binaryChain(512)), Holds(nestedArrayValue(512)));
}

TEST(PlistCodecTest, MalformedInputsFailSayingWhereAndWhy) {
  const std::string valid = serializePropertyList(everyKindOfValue());
  const std::string validBinary = binaryTwin(valid);
  const struct {
    const char* what;
    std::string bytes;
    std::string reason = "";  // empty: the reason of the junk text of its element
  } cases[] = {
      {"empty", "", "it is empty"},
      {"truncated XML", valid.substr(0, valid.size() / 2), "line 29: <data> not closed"},
      {"truncated binary", validBinary.substr(0, validBinary.size() - 10),
       "the binary property list's trailer is damaged or cut off"},
      {"junk integer", xmlPlist("<integer>12abc</integer>"),
       "line 2: <integer> \"12abc\" is not an integer from -2^63 to 2^64-1"},
      {"sign without digits", xmlPlist("<integer>-</integer>")},
      {"hex prefix without digits", xmlPlist("<integer>0x</integer>")},
      {"hex digit in a decimal integer", xmlPlist("<integer>1f</integer>")},
      {"two signs", xmlPlist("<integer>--1</integer>")},
      {"sign after the hex prefix", xmlPlist("<integer>0x-1</integer>")},
      {"digits split by a space", xmlPlist("<integer>1 2</integer>")},
      {"hex integer above UINT64_MAX", xmlPlist("<integer>0x10000000000000000</integer>")},
      {"hex integer below INT64_MIN", xmlPlist("<integer>-0x8000000000000001</integer>")},
      {"fractional integer", xmlPlist("<integer>1.5</integer>")},
      {"empty integer", xmlPlist("<integer></integer>")},
      {"self-closed integer", xmlPlist("<integer/>"), "line 2: <integer/> has no value"},
      {"integer above UINT64_MAX", xmlPlist("<integer>18446744073709551616</integer>")},
      {"integer below INT64_MIN", xmlPlist("<integer>-9223372036854775809</integer>")},
      {"integer from an entity", xmlPlist("<integer>&#53;</integer>")},
      {"integer split by a comment", xmlPlist("<integer>1<!-- -->2</integer>")},
      {"junk real", xmlPlist("<real>x</real>"), "line 2: <real> \"x\" is not a number"},
      {"real with a decimal comma", xmlPlist("<real>1,5</real>")},
      {"real with two signs", xmlPlist("<real>+-1</real>")},
      {"hex real", xmlPlist("<real>0x1p3</real>"), "line 2: <real> \"0x1p3\" is not a number"},
      {"negative hex real", xmlPlist("<real>-0x1p3</real>")},
      {"real with a space after its sign", xmlPlist("<real>- 1</real>")},
      {"junk date", xmlPlist("<date>yesterday</date>"),
       "line 2: <date> \"yesterday\" is not a date (YYYY-MM-DDTHH:MM:SSZ)"},
      {"month 13", xmlPlist("<date>2020-13-01T00:00:00Z</date>")},
      {"February 29 of 2021", xmlPlist("<date>2021-02-29T00:00:00Z</date>")},
      {"hour 24", xmlPlist("<date>2020-01-02T24:00:00Z</date>")},
      {"fractional seconds", xmlPlist("<date>2020-01-02T03:04:05.5Z</date>")},
      {"year 0", xmlPlist("<date>0-01-01T00:00:00Z</date>")},
      {"nested 513 deep", xmlPlist(nestedArrays(513)), "line 2: nested deeper than 512 levels"},
      {"a million entities in one text",
       xmlPlist("<string>" + repeated("&amp;", 1'000'000) + "</string>"),
       "line 2: too many character references to decode"},
      {"unknown entity", xmlPlist("<string>&unknown;</string>"),
       "line 2: \"&unknown;\" begins no character reference (an \"&\" is written \"&amp;\")"},
      {"internal DTD subset",
       "<!DOCTYPE plist [<!ENTITY x \"y\">]>" + xmlPlist("<string>&x;</string>"),
       "line 1: a DOCTYPE with an internal subset"},
      {"random bytes", randomBytes(4096, 42),
       "line 17: tag "
       "\"<\\x891\\x02\\xCCjp]\\xFDu\\xEC\\xC5P\\xFAl2\\xF4\\x92\\xA9\"-\\x99\\xF2D...\" not "
       "closed by \">\""},
      {"binary with its offset table zeroed", zeroedOffsetTable(validBinary),
       "the binary property list's object 0 lies outside it"},
      {"binary cut to its header", validBinary.substr(0, 20),
       "the binary property list is cut short at 20 bytes"},
      {"random bytes after the binary header", "bplist00" + randomBytes(4096, 43),
       "the binary property list's trailer is damaged or cut off"},
      {"binary nested 513 deep", binaryChain(513),
       "the binary property list is nested deeper than 512 levels"},
      {"binary nested 100000 deep", binaryChain(100'000),
       "the binary property list is nested deeper than 512 levels"},
      {"binary cycle", binaryList({arrayObject({1}), arrayObject({0})}),
       "the binary property list's object 0 contains itself"},
      {"binary sharing that expands to 2^40 nodes", binaryChain(41, 2),
       "the binary property list's shared objects expand to more than 1130 values"},
      {"binary reference out of range", binaryList({arrayObject({5})}),
       "the binary property list's object 0 refers to object 5 of 1"},
      {"binary key with a NUL",
       binaryDictionaryWithKey(std::string("\x52"
                                           "a\0",
                                           3)),
       "the binary property list's dictionary 0 has a key that is not text, or text with a NUL "
       "character"},
      {"binary UTF-16 key with a NUL", binaryDictionaryWithKey(std::string("\x61\0\0", 3)),
       "the binary property list's dictionary 0 has a key that is not text, or text with a NUL "
       "character"},
      {"binary key that is a number", binaryDictionaryWithKey(std::string("\x10\x05", 2)),
       "the binary property list's dictionary 0 has a key that is not text, or text with a NUL "
       "character"},
  };
  for (const auto& c : cases) {
    const auto read = parsePropertyList(c.bytes);
    EXPECT_FALSE(read.ok()) << c.what;
    if (!c.reason.empty()) {
      EXPECT_THAT(read, FailsWith(c.reason)) << c.what;
    }
  }
}

// libplist says nothing of why it refuses a text: whatever damage makes it refuse what the
// writer wrote (cut short, a line lost, a byte lost or one too many), the reason says where and
// what.
TEST(PlistCodecTest, EveryDamageThatMakesATextUnreadableIsExplained) {
  const std::string xml = serializePropertyList(everyKindOfValue());
  std::mt19937 random(7);
  const auto below = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  const std::function<void(std::string&, std::size_t)> damages[] = {
      [](std::string& text, std::size_t at) { text.resize(at); },  // cut short
      [](std::string& text, std::size_t at) {                      // a line lost
        const auto start = text.rfind('\n', at) + 1;               // npos + 1 is 0
        text.erase(start, text.find('\n', at) - start + 1);
      },
      [&](std::string& text, std::size_t at) { text.insert(at, 1, "<&>/\"x"[below(6)]); },
      [](std::string& text, std::size_t at) { text.erase(at, 1); },  // a byte lost
  };
  for (int i = 0; i < 4000; ++i) {
    std::string damaged = xml;
    damages[below(std::size(damages))](damaged, below(xml.size()));
    const auto read = parsePropertyList(damaged);
    if (!read) {
      ASSERT_NE(read.reason(), "it is not a property list") << damaged;
    }
  }
}

TEST(PlistCodecTest, ReadsAndWritesRealsWhateverTheLocale) {
  locale_t comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if ((comma = newlocale(LC_ALL_MASK, name, nullptr))) break;
  }
  if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const locale_t previous = uselocale(comma);
  const auto read = parsePropertyList(xmlPlist("<real>1.5</real>"));
  const auto written = serializePropertyList(Array{2.25});
  uselocale(previous);
  freelocale(comma);
  EXPECT_THAT(read, Holds(Value(1.5)));
  EXPECT_NE(written.find("<real>2.25</real>"), std::string::npos) << written;
}

TEST(PlistCodecDeathTest, WritingNestingDeeperThanTheReaderAcceptsIsAProgrammingError) {
  EXPECT_THAT(parsePropertyList(serializePropertyList(nestedArrayValue(512))),
              Holds(nestedArrayValue(512)));
  EXPECT_DEATH(serializePropertyList(nestedArrayValue(513)), "nested deeper than 512");
}

}  // namespace
