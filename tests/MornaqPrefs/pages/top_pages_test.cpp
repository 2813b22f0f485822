// The root page's notice and buttons, its header view, and the global page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "MornaqPrefs/pages/global_list_controller.h"
#include "MornaqPrefs/pages/root_header_view.h"
#include "MornaqPrefs/pages/root_list_controller.h"
#include "MornaqPrefs/pages/tweak_list_controller.h"
#include "tests/MornaqPrefs/pages/pages_fixture.h"
#include "tests/support/result_matchers.h"

namespace {

using namespace pages_testing;
using mornaqprefs::MNQGlobalListController;
using mornaqprefs::MNQRootHeaderView;
using mornaqprefs::MNQRootListController;
using mornaqprefs::PageChrome;
using platform::uikit::CGRect;
using testing_support::Succeeds;

class TopPagesTest : public ::testing::Test {
 protected:
  std::shared_ptr<MNQRootListController> openRoot() {
    return fixture.open<MNQRootListController>(
        MNQRootListController::kClassName, PagesFixture::linkTo("Mornaq", "MNQRootListController"));
  }

  void recordOpenedURLs() {
    platform::uikit::ScreenObserver observer;
    observer.openedURL = [this](const std::string& url) { opened.push_back(url); };
    platform::uikit::Screen::current().setObserver(std::move(observer));
  }

  PagesFixture fixture;
  std::vector<std::string> opened;
};

struct NoticeCase {
  const char* name;
  std::optional<Value> update752;  // none: the key is absent
  bool shown;
};

TEST_F(TopPagesTest, TheUpdateNoticeShowsOncePerSettingsFile) {
  const NoticeCase table[] = {
      {"absent", std::nullopt, true},
      {"YES", Value(true), true},
      {"NO", Value(false), false},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.name);
    PagesFixture fresh;
    Dictionary settings{{"isTweakEnabled", true}, {"customReplyGlob", "Busy"}};
    if (c.update752) settings["update752"] = *c.update752;
    writePlist(format::kMainSettingsPath, settings);
    const std::string before = fresh.process.readFile(format::kMainSettingsPath);

    auto root = fresh.open<MNQRootListController>(MNQRootListController::kClassName,
                                                  PagesFixture::linkTo("Mornaq", "x"));
    if (!c.shown) {
      EXPECT_EQ(fresh.alert(), nullptr);
      EXPECT_EQ(fresh.process.readFile(format::kMainSettingsPath), before);
      continue;
    }
    ASSERT_NE(fresh.alert(), nullptr);
    EXPECT_EQ(fresh.alert()->title(), "\xF0\x9F\x98\x8D Mornaq 0.7.6 \xF0\x9F\x98\x8D");
    EXPECT_EQ(fresh.alert()->message(),
              "\n Now you can use :newline: in reply which will be replaced with a blank line "
              "\n\nand :name: which will be replaced with user's name whom you are "
              "replying.\n\nTry it Now");
    ASSERT_EQ(fresh.alert()->actions().size(), 1u);
    EXPECT_EQ(fresh.alert()->actions()[0].title, "Ok");
    // Written at once, before "Ok" is tapped, beside every key the file held.
    settings["update752"] = false;
    EXPECT_EQ(PagesFixture::file(format::kMainSettingsPath), settings);

    fresh.tap("Ok");
    root->viewWillDisappear(true);
    root->viewWillAppear(true);
    EXPECT_EQ(fresh.alert(), nullptr);
  }
}

TEST_F(TopPagesTest, WithoutASettingsFileTheNoticeShowsAndCreatesTheFile) {
  openRoot();
  EXPECT_NE(fixture.alert(), nullptr);
  EXPECT_EQ(PagesFixture::file(format::kMainSettingsPath), (Dictionary{{"update752", false}}));
}

TEST_F(TopPagesTest, TheRootPageLinksToEveryPageAndHasTheTwoButtons) {
  auto root = openRoot();
  fixture.tap("Ok");
  const std::pair<const char*, const char*> links[] = {
      {"Global Reply", "MNQGlobalListController"},    {"Contacts", "MNQContactListController"},
      {"Blacklist", "MNQContactBlackListController"}, {"Activator", "MNQActivatorController"},
      {"Other packages", "ZOVTweakListController"},
  };
  for (const auto& [title, detail] : links) {
    SCOPED_TRACE(title);
    ASSERT_NE(rowTitled(*root, title), nullptr);
    EXPECT_EQ(rowTitled(*root, title)->detail(), detail);
  }
  for (const char* key : {"isTweakEnabled", "isReplyToMuteU"}) {
    SCOPED_TRACE(key);
    auto row = rowWithKey(*root, key);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->cellType(), PSCellType::Switch);
    EXPECT_EQ(row->propertyForKey("defaults"), Value("com.corvane.halbrin.mornaqprefs"));
    EXPECT_EQ(row->performGetter(), Value(false));
  }
  recordOpenedURLs();
  for (const char* button : {"Reddit", "Twitter"}) {
    auto at = root->indexPathForSpecifier(rowTitled(*root, button));
    ASSERT_TRUE(at);
    EXPECT_THAT(root->tableViewDidSelectRowAtIndexPath(*at), Succeeds());
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.com/mornaq/reddit",
                                              "https://example.com/mornaq/twitter"}));
}

TEST_F(TopPagesTest, EachOtherPackageButtonOpensItsPage) {
  auto page = fixture.open<PageChrome>(mornaqprefs::ZOVTweakListController::kClassName,
                                       PagesFixture::linkTo("Other packages", "x"));
  recordOpenedURLs();
  for (const auto& row : page->specifiers()) {
    if (auto at = page->indexPathForSpecifier(row)) {
      EXPECT_THAT(page->tableViewDidSelectRowAtIndexPath(*at), Succeeds());
    }
  }
  ASSERT_EQ(opened.size(), 4u);
  for (const auto& url : opened) EXPECT_TRUE(url.starts_with("https://example.com/")) << url;
}

TEST_F(TopPagesTest, TheGlobalPageEndsWithOneLinkToTheGlobalRules) {
  auto global = fixture.open<PageChrome>(MNQGlobalListController::kClassName,
                                         PagesFixture::linkTo("Global Reply", "x"));
  global->specifiers();
  auto& rows = global->specifiers();
  ASSERT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const auto& row) { return row->name() == "Multiple Word Matching"; }),
            1);
  const auto& link = rows.back();
  EXPECT_EQ(link->cellType(), PSCellType::LinkList);
  EXPECT_EQ(link->target(), global);
  EXPECT_EQ(link->setter(), std::nullopt);
  EXPECT_EQ(link->getter(), "getIsWidgetSetForSpecifier:");
  EXPECT_EQ(link->detail(), "MNQWMListController");
  EXPECT_EQ(link->properties(), (Dictionary{{"detail", "MNQWMListController"},
                                            {"isController", true},
                                            {"enabled", true},
                                            {"phoneNumber", "GLOBALGLOBALGLOBAL"}}));
  for (const char* key : {"isGlobalEnabled", "isWordMatchGlob", "isGlobAutoEnabled",
                          "customReplyGlob", "customReplyGlobDelay"}) {
    SCOPED_TRACE(key);
    auto row = rowWithKey(*global, key);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->propertyForKey("defaults"), Value("com.corvane.halbrin.mornaqprefs"));
  }
}

class HeaderViewTest : public ::testing::Test {
 protected:
  std::shared_ptr<MNQRootHeaderView> makeHeader() {
    auto header = platform::preferences::allocate<MNQRootHeaderView>("MNQRootHeaderView");
    header->initWithSpecifier(PSSpecifier::groupSpecifierWithName(std::nullopt));
    return header;
  }
  std::filesystem::path headerFile() {
    return fixture.process.hostPath(std::string(format::kBundlePath) + "/header.png");
  }

  PagesFixture fixture;
};

TEST_F(HeaderViewTest, TheImageKeepsItsAspectRatioAndReachesBelowTheHeader) {
  auto header = makeHeader();
  EXPECT_EQ(header->preferredHeightForWidth(375), 152.5);
  header->setFrame({0, 40, 375, 152.5});
  EXPECT_EQ(header->frame(), (CGRect{0, 0, 375, 152.5}));
  ASSERT_EQ(header->subviews().size(), 1u);
  const auto image =
      std::dynamic_pointer_cast<platform::uikit::UIImageView>(header->subviews().front());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->frame(), (CGRect{0, 0, 375, 187.5}));

  header->setFrame({0, 0, 400, 152.5});
  EXPECT_EQ(image->frame(), (CGRect{12.5, 0, 375, 187.5}));
}

TEST_F(HeaderViewTest, AFrameBeforeAnyHeightRequestGivesTheImageNoWidth) {
  auto header = makeHeader();
  header->setFrame({0, 0, 375, 100});
  EXPECT_EQ(header->subviews().front()->frame().width, 0);
}

TEST_F(HeaderViewTest, AMissingOrEmptyImageGivesTheHeaderNoHeight) {
  std::filesystem::remove(headerFile());
  EXPECT_EQ(makeHeader()->preferredHeightForWidth(375), 0);
  std::ofstream(headerFile()).flush();
  EXPECT_EQ(makeHeader()->preferredHeightForWidth(375), 0);
}

TEST_F(HeaderViewTest, TheRootPagesFirstGroupShowsTheHeader) {
  auto root = fixture.open<MNQRootListController>(MNQRootListController::kClassName,
                                                  PagesFixture::linkTo("Mornaq", "x"));
  auto view = root->headerViewForGroup(root->specifiers().front(), 375);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->frame().height, 152.5);
}

}  // namespace
