#include "MornaqPrefs/pages/tweak_list_controller.h"

#include <string>

#include "platform/uikit/uikit.h"

namespace mornaqprefs {

void ZOVTweakListController::registerActions(platform::Class& cls) {
  for (const Package& package : kPackages) {
    cls.addMethod<void>(package.action, [address = std::string(package.address)](Id) {
      platform::uikit::openURL(address);
    });
  }
}

}  // namespace mornaqprefs
