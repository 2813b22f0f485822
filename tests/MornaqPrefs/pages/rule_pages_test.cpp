// The word-match rule pages: adding, deleting and editing one owner's rules.
#include <gtest/gtest.h>

#include <filesystem>

#include "MornaqPrefs/pages/wm_list_controller.h"
#include "MornaqPrefs/pages/wm_settings_controller.h"
#include "tests/MornaqPrefs/pages/pages_fixture.h"
#include "tests/support/result_matchers.h"

namespace {

using namespace pages_testing;
using mornaqprefs::MNQWMListController;
using mornaqprefs::MNQWMSettingsController;
using platform::uikit::AlertActionStyle;
using testing_support::Succeeds;

constexpr const char* kGlobal = "GLOBALGLOBALGLOBAL";
constexpr const char* kContact = "4F1C-contact";

Dictionary rule(const std::string& word, const std::string& reply, const std::string& delay) {
  return {{"customMatch", word}, {"customMatchRe", reply}, {"customMatchReDelay", delay}};
}

class RulePagesTest : public ::testing::Test {
 protected:
  std::shared_ptr<MNQWMListController> openList(const std::string& owner) {
    return fixture.open<MNQWMListController>(
        MNQWMListController::kClassName,
        MNQWMListController::multipleWordMatchingRow(nullptr, mornaqprefs::OwnerKey(owner)));
  }
  // The add button, then the alert's fields, then one of its buttons.
  void add(MNQWMListController& list, const std::vector<std::string>& texts,
           std::string_view button = "Add") {
    list.addNewStatement(nullptr);
    const auto& fields = fixture.alert()->textFields();
    for (std::size_t i = 0; i < texts.size(); ++i) fields[i]->text = texts[i];
    ASSERT_TRUE(fixture.tap(button));
  }
  std::vector<std::string> ruleRowTitles(MNQWMListController& list) {
    std::vector<std::string> titles;
    for (const auto& row : list.specifiers()) {
      if (row->detail() == MNQWMSettingsController::kClassName) titles.push_back(*row->name());
    }
    return titles;
  }
  std::optional<Dictionary> rules() { return PagesFixture::file(format::kRuleSettingsPath); }

  PagesFixture fixture;
};

TEST_F(RulePagesTest, TheAddAlertAsksForWordReplyAndDelay) {
  auto list = openList(kGlobal);
  list->addNewStatement(nullptr);
  const auto* alert = fixture.alert();
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(alert->title(), "Multiple Match and Reply");
  EXPECT_EQ(alert->message(), "Enter Word to match, Reply and Delay.");
  ASSERT_EQ(alert->textFields().size(), 3u);
  const char* placeholders[] = {"Word/Sentence to Match", "Reply", "Delay in seconds i.e. 5"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(alert->textFields()[i]->placeholder, placeholders[i]);
    EXPECT_EQ(alert->textFields()[i]->clearButtonMode, 1);
    EXPECT_EQ(alert->textFields()[i]->borderStyle, 3);
  }
  ASSERT_EQ(alert->actions().size(), 2u);
  EXPECT_EQ(alert->actions()[0].title, "Add");
  EXPECT_EQ(alert->actions()[1].title, "Cancel");
  EXPECT_EQ(alert->actions()[1].style, AlertActionStyle::Default);
}

struct AddCase {
  const char* name;
  std::optional<Dictionary> before;  // the rule file; none: no file
  std::string owner;
  std::vector<std::string> texts;  // word, reply, delay
  std::optional<std::string> popup;
  std::optional<std::string> popupMessage;
  std::optional<Dictionary> after;
};

TEST_F(RulePagesTest, AddingARule) {
  const Dictionary hello{{kGlobal, Dictionary{{"Hello", rule("Hello", "Hi!", "2")}}}};
  const AddCase table[] = {
      {"a first rule creates the file",
       std::nullopt,
       kGlobal,
       {"Hello", "Hi!", "2"},
       std::nullopt,
       std::nullopt,
       hello},
      {"the same word again",
       hello,
       kGlobal,
       {"Hello", "Other", "9"},
       "Word already used to match.",
       "You have already set autoreply for this word already.\nPls use another word.",
       hello},
      {"an empty word",
       std::nullopt,
       kGlobal,
       {"", "Hi!", "2"},
       "Enter requied data to procced",
       std::nullopt,
       std::nullopt},
      {"a word of blanks",
       std::nullopt,
       kGlobal,
       {"   ", "Hi!", "2"},
       std::nullopt,
       std::nullopt,
       Dictionary{{kGlobal, Dictionary{{"   ", rule("   ", "Hi!", "2")}}}}},
      {"a word differing in case",
       hello,
       kGlobal,
       {"hello", "lower", ""},
       std::nullopt,
       std::nullopt,
       Dictionary{{kGlobal, Dictionary{{"Hello", rule("Hello", "Hi!", "2")},
                                       {"hello", rule("hello", "lower", "")}}}}},
      {"the same word for a contact",
       hello,
       kContact,
       {"Hello", "Hey you", "1"},
       std::nullopt,
       std::nullopt,
       Dictionary{{kGlobal, Dictionary{{"Hello", rule("Hello", "Hi!", "2")}}},
                  {kContact, Dictionary{{"Hello", rule("Hello", "Hey you", "1")}}}}},
      {"empty reply and delay",
       std::nullopt,
       kGlobal,
       {"Later", "", ""},
       std::nullopt,
       std::nullopt,
       Dictionary{{kGlobal, Dictionary{{"Later", rule("Later", "", "")}}}}},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.name);
    PagesFixture fresh;
    if (c.before) writePlist(format::kRuleSettingsPath, *c.before);
    auto list = fresh.open<MNQWMListController>(
        MNQWMListController::kClassName,
        MNQWMListController::multipleWordMatchingRow(nullptr, mornaqprefs::OwnerKey(c.owner)));
    list->addNewStatement(nullptr);
    const auto& fields = fresh.alert()->textFields();
    for (std::size_t i = 0; i < 3; ++i) fields[i]->text = c.texts[i];
    ASSERT_TRUE(fresh.tap("Add"));

    if (c.popup) {
      ASSERT_NE(fresh.alert(), nullptr);
      EXPECT_EQ(fresh.alert()->title(), *c.popup);
      EXPECT_EQ(fresh.alert()->message(), c.popupMessage);
      ASSERT_EQ(fresh.alert()->actions().size(), 1u);
      EXPECT_EQ(fresh.alert()->actions()[0].title, "OK");
      EXPECT_EQ(fresh.alert()->actions()[0].style, AlertActionStyle::Default);
    } else {
      EXPECT_EQ(fresh.alert(), nullptr);
    }
    EXPECT_EQ(PagesFixture::file(format::kRuleSettingsPath), c.after);
  }
}

TEST_F(RulePagesTest, AnAddedRuleGetsARowThatOpensItsRulePage) {
  auto list = openList(kContact);
  EXPECT_EQ(list->specifiers().size(), 1u);  // the group "Add Match and reply" only
  EXPECT_EQ(list->specifiers()[0]->name(), "Add Match and reply");
  add(*list, {"b", "B", "1"});
  add(*list, {"a", "A", "1"});
  EXPECT_EQ(ruleRowTitles(*list), (std::vector<std::string>{"a", "b"}));
  const auto& row = list->specifiers()[1];
  EXPECT_EQ(row->cellType(), PSCellType::LinkList);
  EXPECT_EQ(row->getter(), "getIsWidgetSetForSpecifier:");
  EXPECT_EQ(row->setter(), std::nullopt);
  EXPECT_EQ(row->propertyForKey("detail"), Value("MNQWMSettingsController"));
  EXPECT_EQ(row->propertyForKey("phoneNumber"), Value(kContact));
}

TEST_F(RulePagesTest, CancelKeepsTheTextsOfTheLastAddAndWritesNothing) {
  auto list = openList(kGlobal);
  add(*list, {"Hello", "Hi!", "2"});
  const auto before = rules();
  add(*list, {"Other", "text", "9"}, "Cancel");
  EXPECT_EQ(list->match(), "Hello");
  EXPECT_EQ(list->reply(), "Hi!");
  EXPECT_EQ(list->delay(), "2");
  EXPECT_EQ(rules(), before);
}

TEST_F(RulePagesTest, TheAddAndTrashButtonsComeWhenTheListHasAppeared) {
  auto list = openList(kGlobal);
  const auto& items = list->navigationItem().rightBarButtonItems();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0]->systemItem(), platform::uikit::UIBarButtonSystemItem::Add);
  EXPECT_EQ(items[0]->action(), "addNewStatement:");
  EXPECT_EQ(items[1]->systemItem(), platform::uikit::UIBarButtonSystemItem::Trash);
  EXPECT_EQ(items[1]->action(), "removeAllStatements:");
  EXPECT_EQ(fixture.outer->navigationBar().tintColor(), mornaqprefs::kAccentColour);
  items[0]->tap();
  EXPECT_EQ(fixture.alert()->title(), "Multiple Match and Reply");
}

TEST_F(RulePagesTest, SwipingARuleDeletesItAndTheOwnerGoesWithItsLastRule) {
  const Dictionary other{{kContact, Dictionary{{"x", rule("x", "X", "1")}}}};
  Dictionary start = other;
  start[kGlobal] = Dictionary{{"a", rule("a", "A", "1")}, {"b", rule("b", "B", "2")}};
  writePlist(format::kRuleSettingsPath, start);
  auto list = openList(kGlobal);
  ASSERT_TRUE(list->tableViewCanEditRowAtIndexPath({0, 0}));

  EXPECT_THAT(list->swipeToDelete({0, 0}), Succeeds());
  Dictionary expected = other;
  expected[kGlobal] = Dictionary{{"b", rule("b", "B", "2")}};
  EXPECT_EQ(rules(), expected);
  EXPECT_EQ(ruleRowTitles(*list), (std::vector<std::string>{"b"}));

  EXPECT_THAT(list->swipeToDelete({0, 0}), Succeeds());
  EXPECT_EQ(rules(), other);
  EXPECT_TRUE(ruleRowTitles(*list).empty());
}

TEST_F(RulePagesTest, ASwipeOnARuleTheFileNoLongerHasChangesNothing) {
  writePlist(format::kRuleSettingsPath,
             {{kGlobal, Dictionary{{"a", rule("a", "A", "1")}, {"b", rule("b", "B", "2")}}}});
  auto list = openList(kGlobal);
  ASSERT_EQ(ruleRowTitles(*list).size(), 2u);
  // Another page took "b" away and added "c" since the rows were built.
  const Dictionary changed{
      {kGlobal, Dictionary{{"a", rule("a", "A", "1")}, {"c", rule("c", "C", "3")}}}};
  writePlist(format::kRuleSettingsPath, changed);

  list->tableViewCommitEditingStyle(platform::preferences::UITableViewCellEditingStyle::Delete,
                                    {0, 1});
  EXPECT_EQ(rules(), changed);
  list->tableViewCommitEditingStyle(platform::preferences::UITableViewCellEditingStyle::Delete,
                                    {0, 7});
  EXPECT_EQ(rules(), changed);
  // The rows show the file again.
  EXPECT_EQ(ruleRowTitles(*list), (std::vector<std::string>{"a", "c"}));
}

TEST_F(RulePagesTest, DeleteAllAsksFirst) {
  const Dictionary other{{kContact, Dictionary{{"x", rule("x", "X", "1")}}}};
  Dictionary start = other;
  start[kGlobal] = Dictionary{{"a", rule("a", "A", "1")}, {"b", rule("b", "B", "2")}};
  writePlist(format::kRuleSettingsPath, start);
  auto list = openList(kGlobal);
  const std::string before = fixture.process.readFile(format::kRuleSettingsPath);

  list->removeAllStatements(nullptr);
  ASSERT_NE(fixture.alert(), nullptr);
  EXPECT_EQ(fixture.alert()->title(), "Delete All");
  EXPECT_EQ(fixture.alert()->message(),
            "Are you sure you want to delete all the Match and Reply data?");
  ASSERT_EQ(fixture.alert()->actions().size(), 2u);
  EXPECT_EQ(fixture.alert()->actions()[0].title, "Yes");
  EXPECT_EQ(fixture.alert()->actions()[1].title, "NO");
  ASSERT_TRUE(fixture.tap("NO"));
  EXPECT_EQ(fixture.process.readFile(format::kRuleSettingsPath), before);

  list->removeAllStatements(nullptr);
  ASSERT_TRUE(fixture.tap("Yes"));
  EXPECT_EQ(rules(), other);
  EXPECT_TRUE(ruleRowTitles(*list).empty());

  list->removeAllStatements(nullptr);
  EXPECT_EQ(fixture.alert()->title(), "No data to delete");
  EXPECT_EQ(fixture.alert()->message(), std::nullopt);
}

TEST_F(RulePagesTest, TheRulePageEditsOneFieldAndTheRuleKeepsItsWord) {
  writePlist(format::kRuleSettingsPath,
             {{kGlobal, Dictionary{{"Hello", rule("Hello", "Hi!", "2")}}},
              {kContact, Dictionary{{"Hello", rule("Hello", "Hey", "5")}}}});
  auto list = openList(kContact);
  ASSERT_THAT(list->tableViewDidSelectRowAtIndexPath({0, 0}), Succeeds());
  auto page =
      std::dynamic_pointer_cast<MNQWMSettingsController>(fixture.inner->topViewController());
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->fullName(), "Hello");
  EXPECT_EQ(page->phoneNumber(), kContact);
  EXPECT_EQ(page->navigationItem().title(), "Hello");
  EXPECT_EQ(rowWithKey(*page, "customMatchRe")->performGetter(), Value("Hey"));

  rowWithKey(*page, "customMatchRe")->performSetterWithValue("Busy, back soon");
  rowWithKey(*page, "customMatch")->performSetterWithValue("Hi there");

  EXPECT_EQ(
      rules(),
      (Dictionary{{kGlobal, Dictionary{{"Hello", rule("Hello", "Hi!", "2")}}},
                  {kContact, Dictionary{{"Hello", rule("Hi there", "Busy, back soon", "5")}}}}));
  page->save();
  EXPECT_EQ(fixture.alert()->title(), "Setting saved.");
}

TEST_F(RulePagesTest, AnOpenRulePageShowsTheRuleAsTheFileHoldsItNow) {
  writePlist(format::kRuleSettingsPath,
             {{kContact, Dictionary{{"Hello", rule("Hello", "Hey", "5")}}}});
  auto list = openList(kContact);
  ASSERT_THAT(list->tableViewDidSelectRowAtIndexPath({0, 0}), Succeeds());
  auto page =
      std::dynamic_pointer_cast<MNQWMSettingsController>(fixture.inner->topViewController());
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(rowWithKey(*page, "customMatchRe")->performGetter(), Value("Hey"));

  writePlist(format::kRuleSettingsPath,
             {{kContact, Dictionary{{"Hello", rule("Hello", "Hey there", "5")}}}});
  EXPECT_EQ(rowWithKey(*page, "customMatchRe")->performGetter(), Value("Hey there"));
  writePlist(format::kRuleSettingsPath, {{kContact, Dictionary{}}});
  EXPECT_EQ(rowWithKey(*page, "customMatchRe")->performGetter(), Value(""));
}

TEST_F(RulePagesTest, TheRulePageShowsDefaultsForARuleThatIsGoneAndDoesNotBringItBack) {
  auto page = fixture.open<MNQWMSettingsController>(
      MNQWMSettingsController::kClassName, PagesFixture::linkTo("Gone", "MNQWMSettingsController"));
  EXPECT_EQ(rowWithKey(*page, "customMatchRe")->performGetter(), Value(""));
  rowWithKey(*page, "customMatchRe")->performSetterWithValue("text");
  EXPECT_FALSE(rules());
}

}  // namespace

TEST_F(RulePagesTest, AFailedRuleWriteIsShownAtOnce) {
  // A folder where the rule file should be: it can be neither read nor replaced.
  std::filesystem::create_directories(fixture.process.hostPath(format::kRuleSettingsPath));
  auto list = openList(kGlobal);

  add(*list, {"Hello", "Hi!", "2"});

  const std::string path(format::kRuleSettingsPath);
  ASSERT_NE(fixture.alert(), nullptr);
  EXPECT_EQ(fixture.alert()->title(), "A change could not be saved.");
  EXPECT_EQ(fixture.alert()->message(), "A change could not be written to " + path + ".");
}

// The rule list has no "Save", yet it remembers a failed write as every page does, until it
// appears again: from then on only new failures count.
TEST_F(RulePagesTest, TheRuleListForgetsAFailedWriteWhenItAppearsAgain) {
  const auto file = fixture.process.hostPath(format::kRuleSettingsPath);
  std::filesystem::create_directories(file);
  auto list = openList(kGlobal);
  add(*list, {"Hello", "Hi!", "2"});
  ASSERT_TRUE(fixture.tap("Ok"));
  list->save();
  EXPECT_EQ(fixture.alert()->title(), "Setting not saved.");
  ASSERT_TRUE(fixture.tap("Ok"));

  std::filesystem::remove(file);
  list->viewWillDisappear(true);
  list->viewWillAppear(true);
  list->viewDidAppear(true);
  add(*list, {"Hello", "Hi!", "2"});
  EXPECT_EQ(fixture.alert(), nullptr);
  list->save();
  EXPECT_EQ(fixture.alert()->title(), "Setting saved.");
  EXPECT_EQ(ruleRowTitles(*list), std::vector<std::string>{"Hello"});
}

TEST_F(RulePagesTest, ARuleRowWithoutAKeyIsReportedAndWritesNothing) {
  writePlist(format::kRuleSettingsPath,
             {{kGlobal, Dictionary{{"Hello", rule("Hello", "Hi!", "2")}}}});
  const std::string before = fixture.process.readFile(format::kRuleSettingsPath);
  auto opener = PagesFixture::linkTo("Hello", MNQWMSettingsController::kClassName);
  opener->setProperty(kGlobal, "phoneNumber");
  auto page = fixture.open<MNQWMSettingsController>(MNQWMSettingsController::kClassName, opener);
  auto keyless = PagesFixture::linkTo("Keyless", "");

  page->setPreferenceValue("text", keyless);
  page->save();

  EXPECT_EQ(fixture.process.readFile(format::kRuleSettingsPath), before);
  EXPECT_EQ(fixture.alert()->title(), "Setting not saved.");
  EXPECT_EQ(fixture.alert()->message(), "The row \"Keyless\" names no settings file or key.");
}

// Choosing Pattern for a word that does not compile, and "Save" while it is so, tell why; the kind
// is written all the same and the rule keeps its word and fields, so that it can be mended.
TEST_F(RulePagesTest, APatternThatDoesNotCompileIsToldOfAndKept) {
  auto shown = [&] {  // the alert's title and message, closed with its "Ok"; "" without one
    const auto* alert = fixture.alert();
    const std::string text = alert ? *alert->title() + ": " + *alert->message() : "";
    EXPECT_TRUE(!alert || fixture.tap("Ok"));
    return text;
  };
  const std::tuple<const char*, const char*, std::string> table[] = {
      {"(order", "pattern", "Pattern not valid: missing )"},
      {R"(order #?\d+)", "pattern", ""},
      {"(order", "words", ""},
  };
  for (const auto& [word, kind, fault] : table) {
    SCOPED_TRACE(word);
    writePlist(format::kRuleSettingsPath, {{kGlobal, Dictionary{{word, rule(word, "Hi", "2")}}}});
    auto opener = PagesFixture::linkTo(word, MNQWMSettingsController::kClassName);
    opener->setProperty(kGlobal, "phoneNumber");
    auto page = fixture.open<MNQWMSettingsController>(MNQWMSettingsController::kClassName, opener);
    rowWithKey(*page, format::kCustomMatchKind)->performSetterWithValue(kind);
    EXPECT_EQ(shown(), fault);
    page->save();
    EXPECT_EQ(shown(), fault.empty() ? "Setting saved.: " : fault);
    Dictionary kept = rule(word, "Hi", "2");
    kept["customMatchKind"] = kind;
    EXPECT_EQ(rules(), (Dictionary{{kGlobal, Dictionary{{word, kept}}}}));
  }
}
