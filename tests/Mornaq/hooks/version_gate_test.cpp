// The warning a chat screen shows when the messaging app is a version the
// hooks were not written for. The gate reads the master switch first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/uikit/uikit.h"
#include "tests/Mornaq/hooks/hooks_fixture.h"

namespace hooks_test {
namespace {

using testing::ElementsAre;

class VersionGate : public HooksTest {
 protected:
  void startAs(const std::string& version, Dictionary settings = {{"isTweakEnabled", true}}) {
    writeSettings(settings);
    start(version);
    reports.clear();
  }

  platform::uikit::AlertRef shownAlert() { return platform::uikit::Screen::current().top(); }
};

TEST_F(VersionGate, ASupportedVersionShowsNothing) {
  startAs("2.20.101");
  app->openChat(kAnn);

  EXPECT_EQ(shownAlert(), nullptr);
  EXPECT_THAT(reports.switches, ElementsAre(true));
}

TEST_F(VersionGate, AnUnsupportedVersionWarnsUntilTheUserSaysDontShow) {
  startAs("2.20.103");
  app->openChat(kAnn);

  EXPECT_THAT(reports.switches, ElementsAre(true));
  auto alert = shownAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(alert->title(), "Mornaq not supported");
  EXPECT_EQ(alert->message(),
            "Current version is not supported pls use any of the below version.\n\n"
            "2.20.110.30\n2.20.102\n2.20.101\n2.20.100");
  EXPECT_EQ(alert->preferredStyle(), platform::uikit::AlertControllerStyle::Alert);
  ASSERT_EQ(alert->actions().size(), 2u);
  EXPECT_EQ(alert->actions()[0].title, "Ok");
  EXPECT_EQ(alert->actions()[1].title, "Don't show");

  ASSERT_TRUE(platform::uikit::Screen::current().tap("Don't show"));
  EXPECT_EQ(platform::lookUp(mainSettings(), "isCnrtVerSupported"), platform::Value(true));

  app->openChat(kAnn);
  EXPECT_EQ(shownAlert(), nullptr);
  EXPECT_THAT(reports.switches, ElementsAre(true, true));
}

TEST_F(VersionGate, OkEndsOnlyThisShowing) {
  startAs("2.19.7");
  app->openChat(kAnn);
  ASSERT_TRUE(platform::uikit::Screen::current().tap("Ok"));
  EXPECT_EQ(shownAlert(), nullptr);
  EXPECT_FALSE(mainSettings().contains("isCnrtVerSupported"));

  app->openChat(kAnn);
  EXPECT_NE(shownAlert(), nullptr);
}

TEST_F(VersionGate, DontShowKeepsWhatChangedWhileTheWarningWasOpen) {
  startAs("2.20.103");
  app->openChat(kAnn);
  writeSettings({{"customReplyGlob", "Changed meanwhile"}});

  ASSERT_TRUE(platform::uikit::Screen::current().tap("Don't show"));
  EXPECT_EQ(platform::lookUp(mainSettings(), "customReplyGlob"),
            platform::Value("Changed meanwhile"));
  EXPECT_EQ(platform::lookUp(mainSettings(), "isCnrtVerSupported"), platform::Value(true));
}

TEST_F(VersionGate, WithTheSwitchOffNothingIsChecked) {
  startAs("2.20.103", {{"isTweakEnabled", false}});
  app->openChat(kAnn);

  EXPECT_EQ(shownAlert(), nullptr);
  EXPECT_THAT(reports.switches, ElementsAre(false));
}

}  // namespace
}  // namespace hooks_test
