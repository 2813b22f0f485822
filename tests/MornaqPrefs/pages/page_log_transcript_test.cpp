// The pages' log lines that only a page built in-process can write (a contact
// page opened without a contact, a row without a key), pinned whole. The
// Settings app's other lines are pinned by its transcript
// (tests/tools/transcripts/settings.transcript); the other page tests decide
// from the alerts and the files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "MornaqPrefs/pages/contact_settings_controller.h"
#include "MornaqPrefs/pages/wm_settings_controller.h"
#include "tests/MornaqPrefs/pages/pages_fixture.h"

namespace {

using namespace pages_testing;
using mornaqprefs::ContactSettingsPage;
using mornaqprefs::MNQContactSettingsController;
using mornaqprefs::MNQWMSettingsController;

TEST(PageLogTranscript, RowsThatHaveNowhereToBeSavedAreLogged) {
  PagesFixture fixture;
  auto contact = fixture.open<ContactSettingsPage>(
      MNQContactSettingsController::kClassName,
      PagesFixture::linkTo("Ann", MNQContactSettingsController::kClassName));
  rowWithKey(*contact, "isContactEnabled")->performSetterWithValue(true);

  auto opener = PagesFixture::linkTo("Hello", MNQWMSettingsController::kClassName);
  opener->setProperty("GLOBALGLOBALGLOBAL", "phoneNumber");
  auto rule = fixture.open<MNQWMSettingsController>(MNQWMSettingsController::kClassName, opener);
  rule->setPreferenceValue("text", PagesFixture::linkTo("Keyless", ""));

  EXPECT_THAT(fixture.process.log(),
              testing::ElementsAre("[Mornaq] not saving isContactEnabled: this page has no contact",
                                   "[Mornaq] The row \"Keyless\" names no settings file or key."));
}

}  // namespace
