// The contact list and blacklist pages, and the two pages of one contact.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "MornaqPrefs/pages/contact_list_controller.h"
#include "MornaqPrefs/pages/contact_settings_controller.h"
#include "MornaqPrefs/pages/root_list_controller.h"
#include "MornaqPrefs/pages/wm_list_controller.h"
#include "platform/contacts/contacts.h"
#include "platform/uikit/image.h"
#include "tests/MornaqPrefs/pages/pages_fixture.h"
#include "tests/support/result_matchers.h"

namespace {

using namespace pages_testing;
using mornaqprefs::ContactListPage;
using mornaqprefs::ContactSettingsPage;
using mornaqprefs::MNQContactBlackListController;
using mornaqprefs::MNQContactBSettingsController;
using mornaqprefs::MNQContactListController;
using mornaqprefs::MNQContactSettingsController;
using mornaqprefs::MNQWMListController;
using ::testing::ElementsAre;
using testing_support::Succeeds;

namespace fs = std::filesystem;

struct Card {
  std::string uid;  // the identifier is the UID followed by ":ABPerson"
  std::string name;
};

// The two list pages, with the page a row of each opens.
struct ListKind {
  std::string_view listClass;
  std::string_view opens;
};
constexpr ListKind kLists[] = {
    {MNQContactListController::kClassName, MNQContactSettingsController::kClassName},
    {MNQContactBlackListController::kClassName, MNQContactBSettingsController::kClassName},
};

// A Settings app process with the bundle installed, and the ways a user
// reaches the contact pages.
class ContactPages {
 public:
  ContactPages() {
    // The bundle's three state icons share one size; give each its own so
    // that a row's image tells which one it is.
    const fs::path resources = MORNAQPREFS_RESOURCES;
    const auto bundle = fixture.process.hostPath(format::kBundlePath);
    const auto copy = [&](const char* from, const char* to) {
      fs::copy_file(resources / from, bundle / to, fs::copy_options::overwrite_existing);
    };
    copy("icon.png", "Contact@2x.png");      // 29 pixels wide
    copy("icon@3x.png", "icon@2x.png");      // 87
    copy("header.png", "ContactBl@2x.png");  // 320
  }

  void writeAddressBook(const std::vector<Card>& cards) {
    std::string text;
    for (const auto& card : cards) {
      text += "BEGIN:VCARD\nVERSION:3.0\nUID:" + card.uid + "\nFN:" + card.name +
              "\nTEL:+1 555 0100\nEND:VCARD\n";
    }
    fixture.process.writeFile(platform::contacts::kAddressBookPath, text);
  }

  std::shared_ptr<ContactListPage> openList(std::string_view className) {
    return fixture.open<ContactListPage>(className, PagesFixture::linkTo("Contacts", className));
  }
  // A contact's page, opened as a tap on its row of a list page opens it.
  std::shared_ptr<ContactSettingsPage> openContact(std::string_view listClass,
                                                   std::string_view name) {
    auto list = openList(listClass);
    auto row = rowTitled(*list, name);
    if (!row) return nullptr;
    if (!list->tableViewDidSelectRowAtIndexPath(*list->indexPathForSpecifier(row))) return nullptr;
    return std::dynamic_pointer_cast<ContactSettingsPage>(fixture.inner->topViewController());
  }
  // A contact's page opened by a row with this contact key (none: no property).
  std::shared_ptr<ContactSettingsPage> openContactPage(std::string_view className,
                                                       std::optional<std::string> key,
                                                       std::string name = "Ann") {
    auto row = PagesFixture::linkTo(std::move(name), className);
    if (key) row->setProperty(*key, "phoneNumber");
    return fixture.open<ContactSettingsPage>(className, row);
  }

  static std::string iconOf(const PSSpecifier& row) {
    auto image = std::dynamic_pointer_cast<platform::uikit::UIImage>(
        row.propertyForKey("iconImage").object());
    if (!image) return "(none)";
    switch (static_cast<int>(image->size().width * image->scale())) {
      case 29:
        return "Contact@2x";
      case 87:
        return "icon@2x";
      case 320:
        return "ContactBl@2x";
    }
    return "(another image)";
  }
  static std::optional<std::string> title(platform::uikit::UIViewController& page) {
    return page.navigationItem().title();
  }
  static std::vector<std::string> rightButtons(platform::uikit::UIViewController& page) {
    std::vector<std::string> titles;
    for (const auto& item : page.navigationItem().rightBarButtonItems()) {
      titles.push_back(item->title().value_or("(system)"));
    }
    return titles;
  }

  PagesFixture fixture;
};

class ContactPagesTest : public ::testing::Test, public ContactPages {};

TEST_F(ContactPagesTest, TheRootPageLinksToBothLists) {
  auto root = fixture.open<mornaqprefs::MNQRootListController>(
      mornaqprefs::MNQRootListController::kClassName, PagesFixture::linkTo("Mornaq", "x"));
  fixture.tap("Ok");  // the update notice
  const std::pair<const char*, std::string_view> links[] = {
      {"Contacts", MNQContactListController::kClassName},
      {"Blacklist", MNQContactBlackListController::kClassName}};
  for (const auto& [label, listClass] : links) {
    SCOPED_TRACE(label);
    auto at = root->indexPathForSpecifier(rowTitled(*root, label));
    ASSERT_TRUE(at);
    ASSERT_THAT(root->tableViewDidSelectRowAtIndexPath(*at), Succeeds());
    EXPECT_EQ(fixture.inner->topViewController()->isa()->name(), listClass);
    fixture.inner->popViewControllerAnimated(true);
  }
}

TEST_F(ContactPagesTest, AContactRowOpensTheContactsPageOfItsListAndCarriesItsKey) {
  writeAddressBook({{"4F1C-77", "Ann"}});
  for (const auto& kind : kLists) {
    SCOPED_TRACE(kind.listClass);
    auto list = openList(kind.listClass);
    const auto& rows = list->specifiers();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->cellType(), PSCellType::Group);
    EXPECT_EQ(rows[0]->name(), "Contacts");

    const PSSpecifier& row = *rows[1];
    EXPECT_EQ(row.name(), "Ann");
    EXPECT_EQ(row.cellType(), PSCellType::LinkList);
    EXPECT_EQ(row.detail(), kind.opens);
    EXPECT_EQ(row.target(), list);
    EXPECT_EQ(row.setter(), std::nullopt);
    EXPECT_EQ(row.getter(), "getIsWidgetSetForSpecifier:");
    std::vector<std::string> keys;
    for (const auto& [key, value] : row.properties()) keys.push_back(key);
    EXPECT_THAT(keys, ElementsAre("detail", "enabled", "hasIcon", "iconImage", "isController",
                                  "phoneNumber"));
    EXPECT_EQ(row.propertyForKey("detail"), Value(kind.opens));
    EXPECT_EQ(row.propertyForKey("isController"), Value(true));
    EXPECT_EQ(row.propertyForKey("enabled"), Value(true));
    EXPECT_EQ(row.propertyForKey("hasIcon"), Value(true));
    EXPECT_EQ(row.propertyForKey("phoneNumber"), Value("4F1C-77"));  // no ":ABPerson"

    auto page = openContact(kind.listClass, "Ann");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->isa()->name(), kind.opens);
    EXPECT_EQ(page->fullName(), "Ann");
    EXPECT_EQ(page->phoneNumber(), "4F1C-77");
  }
}

struct IconCase {
  const char* name;
  std::optional<Value> entry;  // MainSettings[contact key]; none: no entry
  const char* icon;
};

TEST_F(ContactPagesTest, EachRowShowsItsContactsStateAndBothListsAgree) {
  const IconCase table[] = {
      {"no entry", std::nullopt, "Contact@2x"},
      {"an empty entry", Dictionary{}, "Contact@2x"},
      {"own reply on", Dictionary{{"isContactEnabled", true}}, "icon@2x"},
      {"blacklisted", Dictionary{{"isContactBlackList", true}}, "ContactBl@2x"},
      {"blacklisted with own reply on",
       Dictionary{{"isContactEnabled", true}, {"isContactBlackList", true}}, "ContactBl@2x"},
      {"both off", Dictionary{{"isContactEnabled", false}, {"isContactBlackList", false}},
       "Contact@2x"},
      {"a switch stored as text", Dictionary{{"isContactEnabled", "YES"}}, "icon@2x"},
      {"an entry that is not a dictionary", Value("isContactEnabled"), "Contact@2x"},
  };
  // One contact per case, in one address book and one settings file, so that
  // each row is seen to read its own contact's entry.
  std::vector<Card> cards;
  Dictionary settings{{"isContactEnabled", true},  // top level: nobody's entry
                      {"gone", Dictionary{{"isContactBlackList", true}}}};  // no such contact
  for (std::size_t i = 0; i < std::size(table); ++i) {
    const std::string key = "c" + std::to_string(i);
    cards.push_back({key, table[i].name});
    if (table[i].entry) settings[key] = *table[i].entry;
  }
  writeAddressBook(cards);
  writePlist(format::kMainSettingsPath, settings);

  for (const auto& kind : kLists) {
    auto list = openList(kind.listClass);
    for (const auto& c : table) {
      SCOPED_TRACE(std::string(kind.listClass) + ": " + c.name);
      auto row = rowTitled(*list, c.name);
      ASSERT_NE(row, nullptr);
      EXPECT_EQ(iconOf(*row), c.icon);
    }
  }
}

TEST_F(ContactPagesTest, WithoutASettingsFileEveryContactIsPlain) {
  writeAddressBook({{"a", "Ann"}, {"b", "Bob"}});
  auto list = openList(MNQContactListController::kClassName);
  EXPECT_EQ(iconOf(*rowTitled(*list, "Ann")), "Contact@2x");
  EXPECT_EQ(iconOf(*rowTitled(*list, "Bob")), "Contact@2x");
  EXPECT_FALSE(PagesFixture::file(format::kMainSettingsPath));
}

TEST_F(ContactPagesTest, TheTitleCountsTheListedContactsInsteadOfASaveButton) {
  const std::vector<std::vector<Card>> books = {
      {}, {{"a", "Ann"}}, {{"a", "Ann"}, {"b", "Bob"}, {"c", "Cem"}}};
  for (const auto& book : books) {
    for (const auto& kind : kLists) {
      SCOPED_TRACE(std::to_string(book.size()) + " in " + std::string(kind.listClass));
      writeAddressBook(book);
      auto list = openList(kind.listClass);
      EXPECT_EQ(title(*list), std::to_string(book.size()) + " Contacts");
      EXPECT_THAT(rightButtons(*list), ::testing::IsEmpty());
    }
  }
}

TEST_F(ContactPagesTest, EachListKeepsItsOwnSortedDirectory) {
  writeAddressBook({{"a", "Ann"}});
  auto list = openList(MNQContactListController::kClassName);
  writeAddressBook({{"a", "Ann"}, {"b", "Bob"}});
  auto blackList = openList(MNQContactBlackListController::kClassName);
  EXPECT_EQ(blackList->sortedDirectory().count(), 2u);
  EXPECT_EQ(list->sortedDirectory().count(), 1u);
  list->viewWillAppear(true);
  EXPECT_EQ(title(*list), "1 Contacts");
  // Rows are built once per page: the same list, each contact row in it once.
  EXPECT_EQ(&list->specifiers(), &list->specifiers());
  EXPECT_EQ(list->specifiers().size(), 2u);
}

TEST_F(ContactPagesTest, ContactRowsFollowTheRowsOfTheLayoutInNameOrder) {
  // The installed layout given rows of its own.
  const std::string layout = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>items</key><array>
<dict><key>cell</key><string>PSGroupCell</string><key>label</key><string>About</string></dict>
<dict><key>cell</key><string>PSSwitchCell</string><key>label</key><string>Fixed</string></dict>
</array></dict></plist>)";
  fixture.process.writeFile(std::string(format::kBundlePath) + "/Empty.plist", layout);
  writeAddressBook({{"1", "bob"}, {"2", "Émile"}, {"3", "Alice"}});
  auto list = openList(MNQContactBlackListController::kClassName);
  std::vector<std::string> names;
  for (const auto& row : list->specifiers()) names.push_back(row->name().value_or("-"));
  EXPECT_THAT(names, ElementsAre("About", "Fixed", "Contacts", "Alice", "bob", "Émile"));
  EXPECT_EQ(list->sortedDictionary({{"x", "b"}, {"y", "A"}}).allKeys(),
            (std::vector<std::string>{"y", "x"}));
}

TEST_F(ContactPagesTest, EachContactPageStoresItsOwnKeysUnderTheMainSettingsDomain) {
  struct Layout {
    std::string_view page;
    std::vector<std::string> keys;
  };
  const Layout layouts[] = {
      {MNQContactSettingsController::kClassName,
       {"isContactEnabled", "isWordMatch", "isAutoReplyContact", "customReply",
        "customReplyDelay"}},
      {MNQContactBSettingsController::kClassName, {"isContactBlackList"}},
  };
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.page);
    auto page = openContactPage(layout.page, "k");
    std::vector<std::string> keys;
    for (const auto& row : page->specifiers()) {
      auto key = row->propertyForKey("key").stringValue();
      if (!key) continue;
      keys.push_back(*key);
      EXPECT_EQ(row->propertyForKey("defaults"), Value(format::kMainSettingsDomain));
    }
    EXPECT_EQ(keys, layout.keys);
  }
}

struct WriteCase {
  const char* name;
  std::optional<Dictionary> before;  // MainSettings; none: no file
  std::string_view page;
  std::string key;  // the row's key
  Value value;
  Dictionary after;
};

TEST_F(ContactPagesTest, AChangeIsStoredInsideTheContactsEntryAndNothingElseChanges) {
  const Dictionary others{{"isTweakEnabled", true}, {"customReplyGlob", "Away"}, {"x", 7}};
  const auto with = [&](Dictionary extra) {
    Dictionary file = others;
    file.merge(extra);
    return file;
  };
  const Dictionary annOn{{"isContactEnabled", true}};
  const Dictionary bob{{"isContactBlackList", true}, {"customReply", "Bob's"}};
  const WriteCase table[] = {
      {"no file: created with the entry alone", std::nullopt,
       MNQContactSettingsController::kClassName, "isContactEnabled", true,
       Dictionary{{"ann", annOn}}},
      {"no entry: only that key, every other top-level key kept", others,
       MNQContactSettingsController::kClassName, "isContactEnabled", true, with({{"ann", annOn}})},
      {"blacklisting afterwards adds to the same entry", with({{"ann", annOn}}),
       MNQContactBSettingsController::kClassName, "isContactBlackList", true,
       with({{"ann", Dictionary{{"isContactEnabled", true}, {"isContactBlackList", true}}}})},
      {"another contact's entry is left alone", with({{"bob", bob}}),
       MNQContactSettingsController::kClassName, "customReply", "Ann's",
       with({{"bob", bob}, {"ann", Dictionary{{"customReply", "Ann's"}}}})},
      {"turning a switch off stores NO", with({{"ann", annOn}}),
       MNQContactSettingsController::kClassName, "isContactEnabled", false,
       with({{"ann", Dictionary{{"isContactEnabled", false}}}})},
      {"a global key of the same name stays global", with({{"isContactEnabled", "top"}}),
       MNQContactSettingsController::kClassName, "isContactEnabled", true,
       with({{"isContactEnabled", "top"}, {"ann", annOn}})},
      {"an entry that is not a dictionary becomes one", with({{"ann", "junk"}}),
       MNQContactSettingsController::kClassName, "isContactEnabled", true, with({{"ann", annOn}})},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.name);
    ContactPages fresh;
    if (c.before) writePlist(format::kMainSettingsPath, *c.before);
    auto page = fresh.openContactPage(c.page, "ann");
    auto row = rowWithKey(*page, c.key);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(row->performSetterWithValue(c.value));
    EXPECT_EQ(PagesFixture::file(format::kMainSettingsPath), c.after);
    EXPECT_EQ(row->performGetter(), c.value);
  }
}

TEST_F(ContactPagesTest, ARowShowsItsContactsValueElseItsDefault) {
  writePlist(format::kMainSettingsPath, {{"customReply", "global key"},
                                         {"ann", Dictionary{{"customReply", "Ann's"}}},
                                         {"bob", Dictionary{{"isContactEnabled", true}}}});
  auto ann = openContactPage(MNQContactSettingsController::kClassName, "ann");
  EXPECT_EQ(rowWithKey(*ann, "customReply")->performGetter(), Value("Ann's"));
  EXPECT_EQ(rowWithKey(*ann, "isContactEnabled")->performGetter(), Value(false));
  auto bob = openContactPage(MNQContactSettingsController::kClassName, "bob");
  EXPECT_EQ(rowWithKey(*bob, "customReply")->performGetter(), Value(""));
  EXPECT_EQ(rowWithKey(*bob, "isContactEnabled")->performGetter(), Value(true));
  auto cem = openContactPage(MNQContactBSettingsController::kClassName, "cem");
  EXPECT_EQ(rowWithKey(*cem, "isContactBlackList")->performGetter(), Value(false));
  // Written again while the page is open: the row shows the file as it is now.
  writePlist(format::kMainSettingsPath, {{"ann", Dictionary{{"customReply", "Ann's, again"}}}});
  EXPECT_EQ(rowWithKey(*ann, "customReply")->performGetter(), Value("Ann's, again"));
}

TEST_F(ContactPagesTest, APageWithoutAContactKeyShowsDefaultsAndWritesNothing) {
  writePlist(format::kMainSettingsPath, {{"isContactEnabled", true}});
  const std::string before = fixture.process.readFile(format::kMainSettingsPath);
  auto page = openContactPage(MNQContactSettingsController::kClassName, std::nullopt);
  auto row = rowWithKey(*page, "isContactEnabled");
  EXPECT_EQ(row->performGetter(), Value(false));
  row->performSetterWithValue(true);
  EXPECT_EQ(fixture.process.readFile(format::kMainSettingsPath), before);
}

TEST_F(ContactPagesTest, AContactPageIsTitledWithTheNameOnItsRowAndHasSave) {
  writeAddressBook({{"1", "Ann"}, {"2", "Ann"}});  // the second is listed as "Ann-2"
  for (const auto& kind : kLists) {
    SCOPED_TRACE(kind.listClass);
    auto page = openContact(kind.listClass, "Ann-2");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(title(*page), "Ann-2");
    EXPECT_THAT(rightButtons(*page), ElementsAre("Save"));
  }
}

TEST_F(ContactPagesTest, OnlyTheReplyPageLinksToTheContactsOwnRules) {
  auto blackList = openContactPage(MNQContactBSettingsController::kClassName, "ann");
  EXPECT_EQ(rowTitled(*blackList, "Multiple Word Matching"), nullptr);

  auto reply = openContactPage(MNQContactSettingsController::kClassName, "ann");
  const auto& rows = reply->specifiers();
  ASSERT_FALSE(rows.empty());
  const auto& link = rows.back();
  EXPECT_EQ(link->name(), "Multiple Word Matching");
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const auto& row) { return row->name() == "Multiple Word Matching"; }),
            1);
  EXPECT_EQ(link->propertyForKey("phoneNumber"), Value("ann"));
  EXPECT_EQ(link->propertyForKey("detail"), Value(MNQWMListController::kClassName));

  // A rule added there belongs to this contact, not to everybody.
  ASSERT_THAT(reply->tableViewDidSelectRowAtIndexPath(*reply->indexPathForSpecifier(link)),
              Succeeds());
  auto rules = std::dynamic_pointer_cast<MNQWMListController>(fixture.inner->topViewController());
  ASSERT_NE(rules, nullptr);
  rules->addNewStatement(nullptr);
  const auto& fields = fixture.alert()->textFields();
  fields[0]->text = "lunch";
  fields[1]->text = "Back at two.";
  fields[2]->text = "2";
  ASSERT_TRUE(fixture.tap("Add"));
  const auto ruleFile = PagesFixture::file(format::kRuleSettingsPath);
  ASSERT_TRUE(ruleFile);
  EXPECT_TRUE(platform::lookUp(*ruleFile, "ann").isDictionary());
  EXPECT_TRUE(platform::lookUp(*ruleFile, format::kGlobalOwner).isNil());
}

// A contact whose key names a top-level setting, or the global rules' owner, in files as a build
// that wrote its entries there left them: its row shows no state, its pages show defaults, say
// why, and write nothing, and its rule page neither shows nor changes the global rules.
TEST_F(ContactPagesTest, AContactWithAReservedKeyHasNoSettingsOfItsOwn) {
  constexpr const char* kFooter = "This contact cannot have settings of its own.";
  for (const auto key : format::kReservedContactKeys) {
    SCOPED_TRACE(std::string(key));
    writeAddressBook({{std::string(key), "Res"}});
    const Dictionary damagedEntry{{"isContactEnabled", true}, {"isContactBlackList", true}};
    writePlist(format::kMainSettingsPath, {{std::string(key), damagedEntry}});
    writePlist(format::kRuleSettingsPath,
               {{std::string(format::kGlobalOwner),
                 Dictionary{{"lunch", Dictionary{{"customMatch", "lunch"}}}}}});
    const std::string settingsBefore = fixture.process.readFile(format::kMainSettingsPath);
    const std::string rulesBefore = fixture.process.readFile(format::kRuleSettingsPath);

    for (const auto& kind : kLists) {
      EXPECT_EQ(iconOf(*rowTitled(*openList(kind.listClass), "Res")), "Contact@2x");
      auto page = openContact(kind.listClass, "Res");
      ASSERT_NE(page, nullptr);
      EXPECT_EQ(page->specifiers().back()->propertyForKey("footerText"), Value(kFooter));
      for (const char* rowKey : {"isContactEnabled", "isContactBlackList"}) {
        if (auto row = rowWithKey(*page, rowKey)) {
          EXPECT_EQ(row->performGetter(), Value(false));
          row->performSetterWithValue(true);
        }
      }
    }

    auto reply = openContact(MNQContactListController::kClassName, "Res");
    ASSERT_NE(reply, nullptr);
    auto link = rowTitled(*reply, "Multiple Word Matching");
    ASSERT_NE(link, nullptr);
    ASSERT_THAT(reply->tableViewDidSelectRowAtIndexPath(*reply->indexPathForSpecifier(link)),
                Succeeds());
    auto rules = std::dynamic_pointer_cast<MNQWMListController>(fixture.inner->topViewController());
    ASSERT_NE(rules, nullptr);
    EXPECT_EQ(rowTitled(*rules, "lunch"), nullptr);
    EXPECT_EQ(rules->specifiers().back()->propertyForKey("footerText"), Value(kFooter));
    rules->addNewStatement(nullptr);
    for (const auto& field : fixture.alert()->textFields()) field->text = "x";
    ASSERT_TRUE(fixture.tap("Add"));
    rules->removeAllStatements(nullptr);
    EXPECT_EQ(fixture.alert()->title(), "No data to delete");
    ASSERT_TRUE(fixture.tap("OK"));

    EXPECT_EQ(fixture.process.readFile(format::kMainSettingsPath), settingsBefore);
    EXPECT_EQ(fixture.process.readFile(format::kRuleSettingsPath), rulesBefore);
  }
}

}  // namespace
