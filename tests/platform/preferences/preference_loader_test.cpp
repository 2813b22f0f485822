// Finding settings bundles through their entries and opening them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/preferences/preference_loader.h"
#include "tests/platform/preferences/preferences_fixture.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/test_files.h"

namespace {

using namespace platform;
using namespace platform::preferences;
using preferences_testing::Fixture;
using preferences_testing::writePlist;

constexpr const char* kEntry = "/Library/PreferenceLoader/Preferences/Fixture.plist";
constexpr const char* kBundlePath = "/Library/PreferenceBundles/Fixture.bundle";

// Lays the fixture bundle and its entry into the current process's device root.
void installFixture(const std::filesystem::path& root) {
  const auto bundle = root / "Library/PreferenceBundles/Fixture.bundle";
  std::filesystem::create_directories(bundle);
  std::filesystem::copy_file(FIXTURE_BUNDLE, bundle / "Fixture",
                             std::filesystem::copy_options::overwrite_existing);
  writePlist(std::string(kBundlePath) + "/Info.plist",
             {{"NSPrincipalClass", "FixtureRootController"}});
  writePlist(kEntry, {{"entry", Dictionary{{"bundle", "Fixture"},
                                           {"cell", "PSLinkCell"},
                                           {"label", "Fixture"},
                                           {"isController", true}}}});
}

bool logged(const testing_support::TestProcess& process, std::string_view start) {
  const auto& log = process.log();
  return std::any_of(log.begin(), log.end(),
                     [&](const std::string& line) { return line.starts_with(start); });
}

TEST(PreferenceLoaderTest, AnEntryBecomesALinkToItsBundlesPrincipalClass) {
  Fixture fixture;
  installFixture(fixture.process.root());
  Specifiers rows = loadPreferenceEntries();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]->name(), "Fixture");
  EXPECT_EQ(rows[0]->cellType(), PSCellType::Link);
  EXPECT_EQ(rows[0]->detail(), "FixtureRootController");
  EXPECT_EQ(rows[0]->propertyForKey("bundle"), Value("Fixture"));
  auto page = allocate<PSListController>("FixtureRootController");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(bundlePathForClass(*page->isa()), kBundlePath);
}

TEST(PreferenceLoaderTest, EveryProcessThatOpensTheBundleGetsItsClasses) {
  const testing_support::TemporaryFolder folder("mornaq-loader");
  const auto& root = folder.path();
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    testing_support::TestProcess process("com.apple.Preferences", root);
    uikit::registerClasses(process.process().runtime());
    registerClasses(process.process().runtime());
    if (run == 0) installFixture(root);
    EXPECT_EQ(loadPreferenceEntries().size(), 1u);
    EXPECT_NE(allocateInstance("FixtureRootController"), nullptr);
  }
}

TEST(PreferenceLoaderTest, AnEntryThatCannotBeUsedIsLeftOutWithALogLine) {
  struct Case {
    const char* name;
    std::function<void(const std::filesystem::path& root)> spoil;
    const char* logStart;
  };
  const Case table[] = {
      {"no bundle named",
       [](const auto&) {
         writePlist(kEntry, {{"entry", Dictionary{{"cell", "PSLinkCell"}}}});
       },
       "PreferenceLoader: /Library/PreferenceLoader/Preferences/Fixture.plist has no entry"},
      {"no principal class",
       [](const auto&) { writePlist(std::string(kBundlePath) + "/Info.plist", {}); },
       "PreferenceLoader: /Library/PreferenceBundles/Fixture.bundle/Info.plist names no"},
      {"an executable that is no library",
       [](const auto& root) {
         testing_support::writeFile(root / "Library/PreferenceBundles/Fixture.bundle/Fixture",
                                    "text");
       },
       "PreferenceLoader: cannot open /Library/PreferenceBundles/Fixture.bundle/Fixture"},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.name);
    Fixture fixture;
    installFixture(fixture.process.root());
    c.spoil(fixture.process.root());
    EXPECT_TRUE(loadPreferenceEntries().empty());
    EXPECT_TRUE(logged(fixture.process, c.logStart));
  }
}

TEST(PreferenceLoaderTest, NoEntriesNoRows) {
  Fixture fixture;
  EXPECT_TRUE(loadPreferenceEntries().empty());
  EXPECT_TRUE(fixture.process.log().empty());
}

}  // namespace
