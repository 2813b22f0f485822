// A reply template's alternatives and its placeholders, at their edges.
#include "Mornaq/engine/reply_template.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/settings_format.h"

namespace {

using mornaq::expandReplyTemplate;
using mornaq::replyAlternatives;
using testing::ElementsAre;

TEST(ReplyAlternatives, SplitAtOrWithTheWhiteSpaceAroundItDropped) {
  struct Row {
    std::string replyTemplate;
    std::vector<std::string> alternatives;
  };
  const std::string busy(mornaq::format::kBusyText);
  const std::vector<Row> rows = {
      {"Back soon.", {"Back soon."}},
      {"  padded  ", {"  padded  "}},  // no separator: the template as it is
      {"Back soon. :or: On it.:or:Later", {"Back soon.", "On it.", "Later"}},
      {" a \t:or:\n b ", {" a", "b "}},  // only the white space next to a separator goes
      {"a:or::or: :or:b", {"a", "b"}},   // empty alternatives are left out
      {":or:", {busy}},
      {" :or:  :or: ", {busy}},
      {"a:newline::or::newline:b", {"a:newline:", ":newline:b"}},
      {"Hi\u00a0:or:\u3000Yo", {"Hi", "Yo"}},
      {":OR: stays", {":OR: stays"}},  // matched exactly, case included
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.replyTemplate);
    EXPECT_EQ(replyAlternatives(row.replyTemplate), row.alternatives);
  }
}

TEST(ReplyPlaceholders, FirstNameUntilAndNameAreFilledInOnePass) {
  struct Row {
    std::string replyTemplate;
    std::optional<std::string> name;
    std::string until;
    std::string expanded;
  };
  const std::vector<Row> rows = {
      {"Hi :firstname:!", "Ann Lee", "", "Hi Ann!"},
      {"Hi :firstname:!", "Ann", "", "Hi Ann!"},
      {"Hi :firstname:!", "+44 7700 900999", "", "Hi +44 7700 900999!"},
      {"Hi :firstname:!", "0044 7700", "", "Hi 0044 7700!"},
      {"Hi :firstname:!", "山田\u3000太郎", "", "Hi 山田!"},
      {"Hi :firstname:!", "Zoë\u00a0Ng", "", "Hi Zoë!"},
      {"Hi :firstname:!", "Ann\tLee", "", "Hi Ann!"},
      {"Hi :firstname:!", std::nullopt, "", "Hi !"},
      {"Back at :until:.", "Ann", "17:00", "Back at 17:00."},
      {"Back :until:", "Ann", "Monday 09:00", "Back Monday 09:00"},
      {"Back soon:until:", "Ann", "", "Back soon"},
      // What goes in is left as it reads, whichever placeholder it holds.
      {":name: :firstname:", ":until: x", "9:00", ":until: x :until:"},
      {":until:", "Ann", ":name:", ":name:"},
      {":firstname:name:", "Ann Lee", "", "Annname:"},
      {":First name:", "Ann", "", ":First name:"},
      {":newline::firstname:", "Ann Lee", "", "\nAnn"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.replyTemplate + " with " + row.name.value_or("no name"));
    EXPECT_EQ(expandReplyTemplate(row.replyTemplate, {.name = row.name, .until = row.until}),
              row.expanded);
  }
}

}  // namespace
