// The framework's side of a settings page: rows from a bundle's specifier
// plist, sections, taps, typing, swipes and header views.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/preferences/choice_row.h"
#include "platform/preferences/header_footer_view.h"
#include "tests/platform/preferences/preferences_fixture.h"
#include "tests/support/result_matchers.h"

namespace {

using namespace platform;
using namespace platform::preferences;
using preferences_testing::Fixture;
using preferences_testing::kBundle;
using preferences_testing::writePlist;
using testing_support::FailsWith;
using testing_support::Succeeds;

// A page that keeps the values it is given and counts what happens to it.
class TestPage : public PSListController {
 public:
  using PSListController::PSListController;

  Specifiers& specifiers() override {
    if (!specifiers_) specifiers_ = loadSpecifiersFromPlistName("Rows", self());
    return *specifiers_;
  }
  Value readPreferenceValue(const SpecifierRef& row) override {
    return lookUp(stored, row->propertyForKey("key").stringValue().value_or(""));
  }
  void setPreferenceValue(const Value& value, const SpecifierRef& row) override {
    written.emplace_back(*row->propertyForKey("key").stringValue(), value);
  }
  bool tableViewCanEditRowAtIndexPath(IndexPath) override { return editable; }
  void tableViewCommitEditingStyle(UITableViewCellEditingStyle style, IndexPath at) override {
    committed.emplace_back(style, at);
  }
  void press() { ++presses; }

  Dictionary stored;
  std::vector<std::pair<std::string, Value>> written;
  bool editable = false;
  std::vector<std::pair<UITableViewCellEditingStyle, IndexPath>> committed;
  int presses = 0;
};

class TestHeader : public uikit::UITableViewHeaderFooterView, public PSHeaderFooterView {
 public:
  using UITableViewHeaderFooterView::UITableViewHeaderFooterView;
  void initWithSpecifier(const SpecifierRef& group) override { label = group->name(); }
  double preferredHeightForWidth(double width) override { return width / 4; }
  std::optional<std::string> label;
};

Dictionary item(std::initializer_list<std::pair<const std::string, Value>> entries) {
  return Dictionary(entries);
}

class ListControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writePlist(
        std::string(kBundle) + "/Rows.plist",
        {{"items",
          Array{
              item({{"cell", "PSSwitchCell"}, {"label", "Loose"}, {"key", "loose"}}),
              item(
                  {{"cell", "PSGroupCell"}, {"label", "First"}, {"headerCellClass", "TestHeader"}}),
              item({{"cell", "PSSwitchCell"}, {"label", "On"}, {"key", "on"}}),
              item({{"cell", "PSEditTextCell"}, {"label", "Reply"}, {"key", "reply"}}),
              item({{"cell", "PSEditTextCell"}, {"label", "Delay"}, {"key", "delay"}}),
              item({{"cell", "PSGroupCell"}, {"label", "Second"}}),
              item({{"cell", "PSLinkCell"}, {"label", "Next"}, {"detail", "TestPage"}}),
              item({{"cell", "PSLinkCell"}, {"label", "Missing"}, {"detail", "NoSuchPage"}}),
              item({{"cell", "PSButtonCell"}, {"label", "Press"}, {"action", "press"}}),
              item({{"cell", "PSButtonCell"}, {"label", "Dud"}, {"action", "dud"}}),
          }}});
    auto cls = registerBundleClass<TestPage>("TestPage", "PSListController", kBundle);
    addAction(*cls, "press", &TestPage::press);
    registerBundleClass<TestHeader>("TestHeader", "UITableViewHeaderFooterView", kBundle);
    page = allocate<TestPage>("TestPage");
    fixture.inner->pushViewController(page, false);
  }

  SpecifierRef row(std::string_view label) {
    auto& rows = page->specifiers();
    auto found = std::find_if(rows.begin(), rows.end(),
                              [&](const SpecifierRef& r) { return r->name() == label; });
    return found == rows.end() ? nullptr : *found;
  }
  TestPage& top() { return as<TestPage>(fixture.inner->topViewController()); }

  Fixture fixture;
  std::shared_ptr<TestPage> page;
};

TEST_F(ListControllerTest, RowsCarryThePlistItemAsPropertiesAndValueSelectorsOnlyOnValueCells) {
  struct Expected {
    const char* label;
    PSCellType cell;
    bool hasValueSelectors;
    std::optional<std::string> detail;
  };
  const Expected table[] = {
      {"Loose", PSCellType::Switch, true, std::nullopt},
      {"First", PSCellType::Group, false, std::nullopt},
      {"Reply", PSCellType::EditText, true, std::nullopt},
      {"Next", PSCellType::Link, false, "TestPage"},
      {"Press", PSCellType::Button, false, std::nullopt},
  };
  for (const auto& expected : table) {
    SCOPED_TRACE(expected.label);
    SpecifierRef r = row(expected.label);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->cellType(), expected.cell);
    EXPECT_EQ(r->detail(), expected.detail);
    EXPECT_EQ(r->getter().has_value(), expected.hasValueSelectors);
    EXPECT_EQ(r->setter().has_value(), expected.hasValueSelectors);
    EXPECT_EQ(r->propertyForKey("label"), Value(expected.label));
    EXPECT_EQ(r->target(), page);
  }
  EXPECT_EQ(page->specifiers().size(), 10u);
}

TEST_F(ListControllerTest, ItemsThatAreNoKnownRowAreLeftOutWithALogLine) {
  writePlist(std::string(kBundle) + "/Odd.plist",
             {{"items", Array{"not a dictionary", item({{"cell", "PSSliderCell"}}),
                              item({{"label", "no cell"}}),
                              item({{"cell", "PSGroupCell"}, {"label", "Kept"}})}}});
  Specifiers rows = page->loadSpecifiersFromPlistName("Odd", page);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]->name(), "Kept");
  EXPECT_EQ(std::count_if(fixture.process.log().begin(), fixture.process.log().end(),
                          [](const std::string& l) { return l.find("left out") != l.npos; }),
            3);
}

TEST_F(ListControllerTest, AMissingPlistGivesNoRowsAndSaysWhereAndWhy) {
  EXPECT_TRUE(page->loadSpecifiersFromPlistName("Absent", page).empty());
  ASSERT_EQ(fixture.process.log().size(), 1u);
  EXPECT_EQ(
      fixture.process.log()[0],
      "Preferences: no specifier plist at /Library/PreferenceBundles/Test.bundle/Absent.plist: "
      "could not read it: No such file or directory");
}

TEST_F(ListControllerTest, SectionsStartAtGroupsAndRowsCountWithinThem) {
  const std::pair<const char*, IndexPath> table[] = {
      {"Loose", {0, 0}}, {"On", {1, 0}},      {"Reply", {1, 1}}, {"Delay", {1, 2}},
      {"Next", {2, 0}},  {"Missing", {2, 1}}, {"Dud", {2, 3}},
  };
  for (const auto& [label, at] : table) {
    SCOPED_TRACE(label);
    EXPECT_EQ(page->indexPathForSpecifier(row(label)), at);
    EXPECT_EQ(page->specifierAtIndexPath(at), row(label));
  }
  EXPECT_EQ(page->indexPathForSpecifier(row("First")), std::nullopt);
  EXPECT_EQ(page->specifierAtIndexPath({2, 4}), nullptr);
}

TEST_F(ListControllerTest, ALinkOpensItsPageWithTheRowAsItsSpecifier) {
  EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath({2, 0}), Succeeds());
  ASSERT_EQ(fixture.inner->viewControllers().size(), 2u);
  EXPECT_NE(&top(), page.get());
  EXPECT_EQ(top().specifier(), row("Next"));
  EXPECT_EQ(top().navigationItem().title(), "Next");
}

TEST_F(ListControllerTest, ALinkToAClassNoBundleRegisteredFailsClearlyAndOpensNothing) {
  EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath({2, 1}),
              FailsWith("NoSuchPage is not a page class of any loaded bundle"));
  EXPECT_EQ(fixture.inner->viewControllers().size(), 1u);
}

TEST_F(ListControllerTest, AButtonSendsItsActionToItsTarget) {
  EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath({2, 2}), Succeeds());
  EXPECT_EQ(page->presses, 1);
  EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath({2, 3}),
              FailsWith("TestPage does not implement dud"));
  EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath({1, 0}),
              FailsWith("a PSSwitchCell does nothing when tapped"));
}

TEST_F(ListControllerTest, ValuesGoThroughTheRowsSelectors) {
  page->stored = {{"on", true}};
  EXPECT_EQ(row("On")->performGetter(), Value(true));
  EXPECT_TRUE(row("On")->performSetterWithValue(false));
  ASSERT_EQ(page->written.size(), 1u);
  EXPECT_EQ(page->written[0], std::make_pair(std::string("on"), Value(false)));
  // A row whose getter nobody implements shows nothing and takes nothing.
  auto unread = PSSpecifier::preferenceSpecifierNamed(
      "x", page, "setNothing:", "getNothing:", std::nullopt, PSCellType::LinkList);
  EXPECT_TRUE(unread->performGetter().isNil());
  EXPECT_FALSE(unread->performSetterWithValue(true));
}

TEST_F(ListControllerTest, TypedTextArrivesWhenEditingEnds) {
  page->typeText(row("Reply"), "Busy");
  page->typeText(row("Reply"), "Busy now");
  EXPECT_TRUE(page->written.empty());
  // Typing into another row ends the first edit.
  page->typeText(row("Delay"), "5");
  ASSERT_EQ(page->written.size(), 1u);
  EXPECT_EQ(page->written[0], std::make_pair(std::string("reply"), Value("Busy now")));
  EXPECT_TRUE(page->view().endEditing(true));
  ASSERT_EQ(page->written.size(), 2u);
  EXPECT_EQ(page->written[1], std::make_pair(std::string("delay"), Value("5")));
  EXPECT_FALSE(page->view().endEditing(true));
}

TEST_F(ListControllerTest, LeavingThePageDeliversTheTextBeingTyped) {
  ASSERT_THAT(page->tableViewDidSelectRowAtIndexPath({2, 0}), Succeeds());
  auto next = std::static_pointer_cast<TestPage>(fixture.inner->topViewController());
  next->typeText(next->specifiers()[3], "typed");
  fixture.inner->popViewControllerAnimated(true);
  ASSERT_EQ(next->written.size(), 1u);
  EXPECT_EQ(next->written[0], std::make_pair(std::string("reply"), Value("typed")));
}

TEST_F(ListControllerTest, ASwipeDeletesOnlyRowsThePageLetsBeEdited) {
  EXPECT_THAT(page->swipeToDelete({1, 1}), FailsWith("the row cannot be deleted"));
  page->editable = true;
  EXPECT_THAT(page->swipeToDelete({1, 1}), Succeeds());
  EXPECT_THAT(page->swipeToDelete({9, 0}), FailsWith("no row at that place"));
  ASSERT_EQ(page->committed.size(), 1u);
  EXPECT_EQ(page->committed[0].first, UITableViewCellEditingStyle::Delete);
  EXPECT_EQ(page->committed[0].second, (IndexPath{1, 1}));
}

TEST_F(ListControllerTest, AGroupsHeaderViewIsMadeFromItsClassAndLaidOutForTheTableWidth) {
  auto view = page->headerViewForGroup(row("First"), 400);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(as<TestHeader>(view).label, "First");
  EXPECT_EQ(view->frame(), (uikit::CGRect{0, 0, 400, 100}));
  EXPECT_EQ(page->headerViewForGroup(row("Second"), 400), nullptr);
}

TEST_F(ListControllerTest, ReloadingBuildsTheRowsAgain) {
  SpecifierRef before = row("On");
  page->reloadSpecifiers();
  EXPECT_NE(row("On"), before);
  EXPECT_EQ(page->specifiers().size(), 10u);
}

TEST(ClassRegistryTest, ABundleMayRegisterAgainAndKeepsItsFirstClass) {
  Fixture fixture;
  auto first = registerBundleClass<TestPage>("TestPage", "PSListController", kBundle);
  auto again = registerBundleClass<TestPage>("TestPage", "PSListController", "/elsewhere");
  EXPECT_EQ(first, again);
  EXPECT_EQ(bundlePathForClass(*first), std::string(kBundle));
  EXPECT_EQ(allocateInstance("Unknown"), nullptr);
  EXPECT_EQ(allocate<TestHeader>("TestPage"), nullptr);
}

// Rows of a process share their selector and page names; each row still
// holds its own, whether made inside a process or not, and past the end of
// the process that made it.
TEST(SpecifierTest, RowsKeepTheirSelectorAndPageNames) {
  std::vector<SpecifierRef> rows;
  {
    testing_support::TestProcess process;
    for (const char* name : {"a", "b"}) {
      rows.push_back(PSSpecifier::preferenceSpecifierNamed(
          name, nullptr, "setIt:", "getIt:", "NextPage", PSCellType::LinkList));
    }
  }
  rows.push_back(PSSpecifier::preferenceSpecifierNamed("c", nullptr, std::nullopt,
                                                       "getIt:", "NextPage", PSCellType::Link));
  for (const auto& row : rows) {
    EXPECT_EQ(row->getter(), "getIt:");
    EXPECT_EQ(row->detail(), "NextPage");
  }
  EXPECT_EQ(rows[1]->setter(), "setIt:");
  EXPECT_EQ(rows[2]->setter(), std::nullopt);
}

// A choice row reads and writes through its key; a stored value it does not offer shows as it
// is, with no choice, so that the person sees what the file holds.
TEST_F(ListControllerTest, AChoiceRowOffersItsValuesUnderItsTitles) {
  writePlist(std::string(kBundle) + "/Choices.plist",
             {{"items", Array{item({{"cell", "PSLinkListCell"},
                                    {"label", "Reply to"},
                                    {"key", "to"},
                                    {"validTitles", Array{"Everyone", "My contacts"}},
                                    {"validValues", Array{"everyone", "contacts", "nobody"}}})}}});
  page->specifiers() = page->loadSpecifiersFromPlistName("Choices", page);
  SpecifierRef choice = page->specifiers()[0];
  EXPECT_TRUE(isChoiceRow(*choice));
  EXPECT_EQ(choicesOf(*choice),
            (std::vector<Choice>{{"Everyone", "everyone"},
                                 {"My contacts", "contacts"},
                                 {"nobody", "nobody"}}));  // no title: its value
  const std::pair<Value, std::optional<std::string>> shown[] = {
      {"contacts", "My contacts"}, {"friends", std::nullopt}, {std::int64_t{7}, std::nullopt}};
  for (const auto& [stored, title] : shown) {
    page->stored = {{"to", stored}};
    EXPECT_EQ(choice->performGetter(), stored);
    const auto chosen = choiceWithValue(*choice, stored);
    EXPECT_EQ(chosen ? std::optional(chosen->title) : std::nullopt, title);
  }
  EXPECT_TRUE(choice->performSetterWithValue("everyone"));
  EXPECT_EQ(page->written.back(), std::make_pair(std::string("to"), Value("everyone")));
  EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath({0, 0}),
              FailsWith("a choice row is given one of its values, not tapped"));
}

}  // namespace
