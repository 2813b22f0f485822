// The one-time notices on the home screen, in a home-screen process where
// only the home-screen replacement of the hook library takes effect.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "Mornaq/hooks/load_sequence.h"
#include "Mornaq/host/host_interface.h"
#include "common/settings_format.h"
#include "platform/foundation/plist_file.h"
#include "platform/uikit/uikit.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

namespace {

namespace host = mornaq::host;
namespace uikit = platform::uikit;
using platform::Dictionary;
using platform::Id;
using testing::ElementsAre;
using testing::ElementsAreArray;

const std::string kWelcome = "\xF0\x9F\x98\x8D Thanks \xF0\x9F\x98\x8D";
const std::string kUpdate = "\xF0\x9F\x98\x8D Mornaq 0.7.6 \xF0\x9F\x98\x8D";

class Notices : public testing::Test {
 protected:
  Notices() {
    uikit::registerClasses(springboard.process().runtime());
    auto homeScreenClass = springboard.process().runtime().defineClass(
        host::kSBHomeScreenViewController, "UIViewController");
    homeScreenClass->addMethod<void, bool>(
        host::kViewDidAppear, [this](Id, bool animated) { hostAppearances.push_back(animated); });
    homeScreen = platform::Runtime::createInstance(homeScreenClass);
  }

  void writeSettings(const Dictionary& values) {
    testing_support::writePlist(mornaq::format::kMainSettingsPath, values);
  }

  Dictionary mainSettings() { return platform::readPlist(mornaq::format::kMainSettingsPath); }

  // The title of the notice the appearance shows, which is then closed.
  std::optional<std::string> appear() {
    platform::send<void>(homeScreen, host::kViewDidAppear, true);
    auto notice = uikit::Screen::current().top();
    if (!notice) return std::nullopt;
    uikit::Screen::current().tap("Ok");
    return notice->title();
  }

  testing_support::TestProcess springboard{"com.apple.springboard"};
  Id homeScreen;
  std::vector<bool> hostAppearances;
};

TEST_F(Notices, AFreshInstallationShowsTheWelcomeThenTheUpdateNoticeThenNothing) {
  mornaq::runLoadSequence();

  platform::send<void>(homeScreen, host::kViewDidAppear, true);
  auto welcome = uikit::Screen::current().top();
  ASSERT_NE(welcome, nullptr);
  EXPECT_EQ(welcome->title(), kWelcome);
  EXPECT_EQ(welcome->message(),
            "\nThanks for buying Mornaq\n\nEnable it from setting and your life will be a lot more "
            "easier.\n\nWhatsApp version 2.20.100 and higher is supported pls update if you are "
            "using lower version.");
  ASSERT_EQ(welcome->actions().size(), 1u);
  EXPECT_EQ(welcome->actions()[0].title, "Ok");
  // Marked shown as it is presented, before any button is chosen.
  EXPECT_EQ(mainSettings(), (Dictionary{{"firstInstall71", false}}));
  uikit::Screen::current().tap("Ok");

  platform::send<void>(homeScreen, host::kViewDidAppear, true);
  auto update = uikit::Screen::current().top();
  ASSERT_NE(update, nullptr);
  EXPECT_EQ(update->title(), kUpdate);
  EXPECT_EQ(update->message(),
            "\n Now you can use :newline: in reply which will be replaced with a blank line and "
            ":name: which will be replaced with user's name whom you are replying.\n\nTry it Now");
  EXPECT_EQ(mainSettings(), (Dictionary{{"firstInstall71", false}, {"update75", false}}));
  uikit::Screen::current().tap("Ok");

  EXPECT_EQ(appear(), std::nullopt);
  EXPECT_THAT(hostAppearances, ElementsAre(true, true, true));
}

struct NoticeCase {
  Dictionary settings;
  std::vector<std::optional<std::string>> shown;  // per appearance
};

class NoticeSequence : public Notices, public testing::WithParamInterface<NoticeCase> {};

TEST_P(NoticeSequence, ShowsAtMostOneDueNoticePerAppearance) {
  writeSettings(GetParam().settings);
  mornaq::runLoadSequence();

  std::vector<std::optional<std::string>> shown;
  for (std::size_t i = 0; i < GetParam().shown.size(); ++i) shown.push_back(appear());
  EXPECT_THAT(shown, ElementsAreArray(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    StoredKeys, NoticeSequence,
    testing::Values(NoticeCase{{}, {kWelcome, kUpdate, std::nullopt}},
                    NoticeCase{{{"firstInstall71", false}}, {kUpdate, std::nullopt}},
                    NoticeCase{{{"firstInstall71", false}, {"update75", true}},
                               {kUpdate, std::nullopt}},
                    NoticeCase{{{"firstInstall71", true}, {"update75", true}}, {kWelcome, kUpdate}},
                    NoticeCase{{{"update75", false}}, {kWelcome, std::nullopt}},
                    NoticeCase{{{"firstInstall71", false}, {"update75", false}}, {std::nullopt}},
                    NoticeCase{{{"firstInstall71", "NO"}}, {kUpdate, std::nullopt}}));

TEST_F(Notices, MarkingANoticeShownKeepsEveryOtherKey) {
  writeSettings({{"isTweakEnabled", true}, {"somethingElse", platform::Array{1, "two"}}});
  mornaq::runLoadSequence();
  appear();

  EXPECT_EQ(mainSettings(), (Dictionary{{"firstInstall71", false},
                                        {"isTweakEnabled", true},
                                        {"somethingElse", platform::Array{1, "two"}}}));
}

}  // namespace
