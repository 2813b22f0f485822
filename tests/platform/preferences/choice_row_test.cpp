// Choice rows: a list cell with the values it can take and their titles.
#include <gtest/gtest.h>

#include "platform/preferences/choice_row.h"
#include "platform/preferences/specifier_plist.h"
#include "tests/platform/preferences/preferences_fixture.h"
#include "tests/support/result_matchers.h"
#include "tests/support/value_printer.h"

namespace {

using namespace platform;
using namespace platform::preferences;
using preferences_testing::Fixture;
using preferences_testing::kBundle;
using testing_support::FailsWith;

// A page that keeps the values of its rows by key, showing a row's default while it has none.
class ChoicePage : public PSListController {
 public:
  using PSListController::PSListController;
  Value readPreferenceValue(const SpecifierRef& row) override {
    const Value& kept = lookUp(stored, *row->propertyForKey("key").stringValue());
    return kept.isNil() ? row->propertyForKey("default") : kept;
  }
  void setPreferenceValue(const Value& value, const SpecifierRef& row) override {
    stored.insert_or_assign(*row->propertyForKey("key").stringValue(), value);
  }
  Dictionary stored;
};

class ChoiceRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerBundleClass<ChoicePage>("ChoicePage", "PSListController", kBundle);
    page = allocate<ChoicePage>("ChoicePage");
    const Dictionary plist{
        {"items",
         Array{
             Dictionary{{"cell", "PSLinkListCell"},
                        {"label", "Reply to"},
                        {"key", "audience"},
                        {"default", "everyone"},
                        {"detail", "PSListItemsController"},
                        {"validTitles", Array{"Everyone", "My contacts", "Not in my contacts"}},
                        {"validValues", Array{"everyone", "contacts", "nonContacts"}}},
             // One title short: the last value names itself.
             Dictionary{{"cell", "PSLinkListCell"},
                        {"label", "Delay"},
                        {"key", "delay"},
                        {"validTitles", Array{"None"}},
                        {"validValues", Array{std::int64_t{0}, std::int64_t{5}}}},
             Dictionary{{"cell", "PSLinkListCell"}, {"label", "Next"}, {"detail", "ChoicePage"}},
         }}};
    rows = specifiersFromPlist(plist, page, "Choices.plist");
    page->specifiers() = rows;
  }

  Fixture fixture;
  std::shared_ptr<ChoicePage> page;
  Specifiers rows;
};

TEST_F(ChoiceRowTest, AChoiceRowPairsItsTitlesWithItsValuesAndReadsAndWritesThroughItsKey) {
  const auto& audience = *rows[0];
  EXPECT_TRUE(isChoiceRow(audience));
  EXPECT_EQ(choicesOf(audience), (std::vector<Choice>{{"Everyone", "everyone"},
                                                      {"My contacts", "contacts"},
                                                      {"Not in my contacts", "nonContacts"}}));
  EXPECT_EQ(choicesOf(*rows[1]),
            (std::vector<Choice>{{"None", std::int64_t{0}}, {"5", std::int64_t{5}}}));
  // A list cell without values is a link to its page, with no value of its own.
  EXPECT_FALSE(isChoiceRow(*rows[2]));
  EXPECT_EQ(rows[2]->getter(), std::nullopt);

  // The row shows what is stored as it is, even a value it does not offer (a file written by
  // hand or by a later version), so that the person sees it; only its choice tells them apart.
  struct Case {
    const char* name;
    Value stored;  // nil: nothing stored
    Value shown;
    std::optional<std::string> choice;
  };
  const Case table[] = {
      {"nothing stored: the default", {}, "everyone", "Everyone"},
      {"a stored choice", "nonContacts", "nonContacts", "Not in my contacts"},
      {"a value the row does not offer", "friends", "friends", std::nullopt},
      {"a value of another kind", std::int64_t{7}, std::int64_t{7}, std::nullopt},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.name);
    page->stored.clear();
    if (!c.stored.isNil()) page->stored["audience"] = c.stored;
    const Value shown = rows[0]->performGetter();
    EXPECT_EQ(shown, c.shown);
    const auto choice = choiceWithValue(audience, shown);
    EXPECT_EQ(choice ? std::optional(choice->title) : std::nullopt, c.choice);
  }

  EXPECT_TRUE(rows[0]->performSetterWithValue("contacts"));
  EXPECT_EQ(page->stored, (Dictionary{{"audience", "contacts"}}));
}

TEST_F(ChoiceRowTest, AChoiceRowIsGivenAValueRatherThanTapped) {
  EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath({0, 0}),
              FailsWith("a choice row is given one of its values, not tapped"));
}

}  // namespace
