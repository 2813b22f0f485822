#include "platform/foundation/text_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using platform::TextList;
using platform::TextSet;

// Texts from a small alphabet, so that many repeat; some empty, some with a
// NUL, some long.
std::string generatedText(std::mt19937& random) {
  static constexpr char kAlphabet[] = {'a', 'b', '\0', '\xC3', '\xA9'};
  const std::size_t length = random() % 4 == 0 ? random() % 40 : random() % 4;
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += kAlphabet[random() % sizeof kAlphabet];
  return text;
}

// The set and the list agree with the standard containers on every text,
// whatever room the set was given at first, as it grows past it.
TEST(TextListTest, AgreesWithTheStandardContainers) {
  for (const std::size_t expected : {0u, 1u, 100u, 5000u}) {
    std::mt19937 random(static_cast<unsigned>(expected));
    TextSet set(expected);
    TextList list;
    std::unordered_set<std::string> reference;
    std::vector<std::string> added;
    for (int i = 0; i < 3000; ++i) {
      const std::string text = generatedText(random);
      const bool isNew = reference.insert(text).second;
      ASSERT_EQ(set.insert(text), isNew) << "text " << i;
      if (isNew) added.push_back(text);
      list.push_back(text);
    }
    ASSERT_EQ(set.size(), added.size());
    for (std::size_t i = 0; i < added.size(); ++i) {
      EXPECT_EQ(set[i], added[i]);
      EXPECT_EQ(set.find(added[i]), i);
    }
    EXPECT_EQ(set.find(std::string(50, 'a')), std::nullopt);  // longer than any text added
    const TextSet moved = std::move(set);
    EXPECT_EQ(set.find(added[0]), std::nullopt);  // NOLINT(bugprone-use-after-move)
    EXPECT_TRUE(set.insert(added[0]));
    EXPECT_EQ(moved.find(added[0]), 0u);
    ASSERT_EQ(list.size(), 3000u);
    std::mt19937 replay(static_cast<unsigned>(expected));
    for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i], generatedText(replay));
  }
}

}  // namespace
