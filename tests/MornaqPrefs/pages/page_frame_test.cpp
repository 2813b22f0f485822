// What every page shares: its rows built once, the generic value access,
// "Save", and the colours while it is shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "MornaqPrefs/pages/global_list_controller.h"
#include "MornaqPrefs/pages/page_chrome.h"
#include "MornaqPrefs/pages/tweak_list_controller.h"
#include "platform/uikit/switch_appearance.h"
#include "tests/MornaqPrefs/pages/pages_fixture.h"
#include "tests/support/test_files.h"

namespace {

using namespace pages_testing;
using mornaqprefs::kAccentColour;
using mornaqprefs::kOtherPackagesColour;
using mornaqprefs::MNQGlobalListController;
// The frame every page shares: its chrome, with the settings store in it.
using PageFrame = mornaqprefs::PageChrome;
using platform::uikit::AlertActionStyle;

class PageFrameTest : public ::testing::Test {
 protected:
  std::shared_ptr<PageFrame> openGlobal() {
    return fixture.open<PageFrame>(MNQGlobalListController::kClassName,
                                   PagesFixture::linkTo("Global Reply", "MNQGlobalListController"));
  }

  PagesFixture fixture;
};

TEST_F(PageFrameTest, TheRowListIsBuiltOnceWithTheRowsMadeInCodeOnce) {
  auto page = openGlobal();
  auto& first = page->specifiers();
  const auto rowsBefore = first;
  auto& second = page->specifiers();
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(second, rowsBefore);
  EXPECT_EQ(std::count_if(second.begin(), second.end(),
                          [](const auto& row) { return row->name() == "Multiple Word Matching"; }),
            1);
  EXPECT_EQ(second.back()->name(), "Multiple Word Matching");
}

TEST_F(PageFrameTest, WithoutASettingsFileRowsShowTheirDefaultsAndNothingIsWritten) {
  auto page = openGlobal();
  EXPECT_EQ(rowWithKey(*page, format::kIsGlobalEnabled)->performGetter(), Value(false));
  EXPECT_EQ(rowWithKey(*page, format::kCustomReplyGlob)->performGetter(), Value(""));
  EXPECT_FALSE(PagesFixture::file(format::kMainSettingsPath));
}

// The page stays open while other writers change the file: each read of a
// row shows the file as it is then, or the row's default when it gives none.
TEST_F(PageFrameTest, ARowShowsTheFileAsItIsEachTimeItIsRead) {
  auto page = openGlobal();
  const auto file = fixture.process.hostPath(format::kMainSettingsPath);
  const struct {
    const char* state;
    std::function<void()> make;
    Value shown;
  } states[] = {
      {"written on",
       [] {
         writePlist(format::kMainSettingsPath, {{"isGlobalEnabled", true}});
       },
       true},
      {"written off",
       [] {
         writePlist(format::kMainSettingsPath, {{"isGlobalEnabled", false}});
       },
       false},
      {"written on again",
       [] {
         writePlist(format::kMainSettingsPath, {{"isGlobalEnabled", true}});
       },
       true},
      {"deleted", [&file] { std::filesystem::remove(file); }, false},
      {"written on after the deletion",
       [] {
         writePlist(format::kMainSettingsPath, {{"isGlobalEnabled", true}});
       },
       true},
      {"not a property list", [&file] { testing_support::writeFile(file, "not a plist"); }, false},
  };
  for (const auto& state : states) {
    state.make();
    EXPECT_EQ(rowWithKey(*page, format::kIsGlobalEnabled)->performGetter(), state.shown)
        << state.state;
  }
}

TEST_F(PageFrameTest, AChangeRewritesTheFileKeepingEveryOtherKey) {
  Dictionary settings{{"isTweakEnabled", true},
                      {"unknownData", platform::Data{{1, 2, 3}}},
                      {"unknownDate", platform::Date{12.0}},
                      {"someContact", Dictionary{{"isContactEnabled", true}}},
                      {"unknownList", platform::Array{1, "two", 3.5}}};
  for (int i = 0; i < 15; ++i) settings["key" + std::to_string(i)] = i;
  writePlist(format::kMainSettingsPath, settings);
  auto page = openGlobal();

  rowWithKey(*page, format::kIsGlobalEnabled)->performSetterWithValue(true);

  Dictionary expected = settings;
  expected["isGlobalEnabled"] = true;
  EXPECT_EQ(PagesFixture::file(format::kMainSettingsPath), expected);
  EXPECT_EQ(rowWithKey(*page, format::kIsGlobalEnabled)->performGetter(), Value(true));
}

TEST_F(PageFrameTest, TheFirstChangeCreatesAFileWithThatKeyOnly) {
  auto page = openGlobal();
  rowWithKey(*page, format::kCustomReplyGlobDelay)->performSetterWithValue("7");
  EXPECT_EQ(PagesFixture::file(format::kMainSettingsPath),
            (Dictionary{{"customReplyGlobDelay", "7"}}));
}

TEST_F(PageFrameTest, SaveWithNothingBeingEditedConfirmsAndWritesNothing) {
  writePlist(format::kMainSettingsPath, {{"isTweakEnabled", true}});
  const std::string before = fixture.process.readFile(format::kMainSettingsPath);
  auto page = openGlobal();
  page->save();
  ASSERT_NE(fixture.alert(), nullptr);
  EXPECT_EQ(fixture.alert()->title(), "Setting saved.");
  EXPECT_EQ(fixture.alert()->message(), "");
  ASSERT_EQ(fixture.alert()->actions().size(), 1u);
  EXPECT_EQ(fixture.alert()->actions()[0].title, "Ok");
  EXPECT_EQ(fixture.alert()->actions()[0].style, AlertActionStyle::Cancel);
  EXPECT_TRUE(fixture.tap("Ok"));
  EXPECT_EQ(fixture.process.readFile(format::kMainSettingsPath), before);
}

TEST_F(PageFrameTest, SaveWhileATextIsBeingTypedWritesItFirst) {
  auto page = openGlobal();
  page->typeText(rowWithKey(*page, format::kCustomReplyGlob), "In a meeting");
  EXPECT_FALSE(PagesFixture::file(format::kMainSettingsPath));
  page->save();
  EXPECT_EQ(PagesFixture::file(format::kMainSettingsPath),
            (Dictionary{{"customReplyGlob", "In a meeting"}}));
  EXPECT_EQ(fixture.alert()->title(), "Setting saved.");
}

TEST_F(PageFrameTest, SaveSaysSoWhenAWriteSinceThePageAppearedFailed) {
  // A file where the preferences folder should be: no settings file can be written.
  const auto folder = fixture.process.hostPath("/var/mobile/Library/Preferences");
  testing_support::writeFile(folder, "in the way");
  auto page = openGlobal();

  rowWithKey(*page, format::kIsGlobalEnabled)->performSetterWithValue(true);
  page->save();

  ASSERT_NE(fixture.alert(), nullptr);
  EXPECT_EQ(fixture.alert()->title(), "Setting not saved.");
  EXPECT_EQ(fixture.alert()->message(),
            "A change could not be written to "
            "/var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefs.plist.");

  // Once the page appears again, only new failures count.
  fixture.tap("Ok");
  std::filesystem::remove(folder);
  page->viewWillDisappear(true);
  page->viewWillAppear(true);
  page->save();
  EXPECT_EQ(fixture.alert()->title(), "Setting saved.");
}

TEST_F(PageFrameTest, PagesWithSaveShowItAsTheirOnlyRightButton) {
  auto page = openGlobal();
  const auto& items = page->navigationItem().rightBarButtonItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->title(), "Save");
  EXPECT_EQ(items[0]->action(), "save");
  items[0]->tap();
  EXPECT_EQ(fixture.alert()->title(), "Setting saved.");
}

TEST_F(PageFrameTest, ThePageTintsWhileShownAndTheBarInheritsAgainWhenItLeaves) {
  auto global = openGlobal();
  auto& bar = fixture.outer->navigationBar();
  EXPECT_EQ(bar.tintColor(), kAccentColour);
  EXPECT_EQ(platform::uikit::UISwitch::onTintColorInside(*global->isa()), kAccentColour);

  auto tweaks =
      fixture.open<PageFrame>(mornaqprefs::ZOVTweakListController::kClassName,
                              PagesFixture::linkTo("Other packages", "ZOVTweakListController"));
  EXPECT_EQ(bar.tintColor(), kOtherPackagesColour);
  EXPECT_TRUE(tweaks->navigationItem().rightBarButtonItems().empty());

  fixture.inner->popViewControllerAnimated(true);
  EXPECT_EQ(bar.tintColor(), kAccentColour);
  global->viewWillDisappear(true);
  EXPECT_EQ(bar.tintColor(), std::nullopt);
  // The switches keep their colour.
  EXPECT_EQ(platform::uikit::UISwitch::onTintColorInside(*global->isa()), kAccentColour);
}

}  // namespace
