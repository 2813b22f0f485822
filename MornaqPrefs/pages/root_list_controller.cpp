#include "MornaqPrefs/pages/root_list_controller.h"

#include "common/settings_format.h"
#include "platform/preferences/class_registry.h"
#include "platform/uikit/uikit.h"

namespace mornaqprefs {

namespace format = mornaq::format;
using namespace platform::uikit;

MNQRootListController::MNQRootListController(const platform::Class* cls)
    : PageChrome(cls, {.plist = "Root"}) {}

void MNQRootListController::registerActions(platform::Class& cls) {
  PageChrome::registerActions(cls);
  platform::preferences::addAction(cls, "Reddit", &MNQRootListController::Reddit);
  platform::preferences::addAction(cls, "Twitter", &MNQRootListController::Twitter);
}

void MNQRootListController::showUpdate() {
  const auto file = platform::readPlistShared(format::kMainSettingsPath);
  const Value& due = platform::lookUp(*file, format::kUpdate752);
  if (!due.isNil() && !due.boolValue()) return;
  auto alert = UIAlertController::alertControllerWithTitle(
      std::string(kUpdateTitle), std::string(kUpdateMessage), AlertControllerStyle::Alert);
  alert->addAction({"Ok", AlertActionStyle::Default, nullptr});
  presentViewController(self(), alert);
  // Only this key, under the lock: the rest of the file stays as other
  // processes left it.
  settings().update(format::kMainSettingsPath, [](Dictionary& file) {
    file.insert_or_assign(std::string(format::kUpdate752), false);
    return true;
  });
}

void MNQRootListController::Reddit() { openURL("https://example.com/mornaq/reddit"); }

void MNQRootListController::Twitter() { openURL("https://example.com/mornaq/twitter"); }

}  // namespace mornaqprefs
