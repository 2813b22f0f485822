#include "MornaqPrefs/pages/global_list_controller.h"

#include "MornaqPrefs/pages/wm_list_controller.h"
#include "common/settings_format.h"

namespace mornaqprefs {

MNQGlobalListController::MNQGlobalListController(const platform::Class* cls)
    : PageChrome(cls, {.plist = "Global"}) {}

Specifiers MNQGlobalListController::appSpecifiers() {
  return {MNQWMListController::multipleWordMatchingRow(
      self(), OwnerKey(std::string(mornaq::format::kGlobalOwner)))};
}

}  // namespace mornaqprefs
