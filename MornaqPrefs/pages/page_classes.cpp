#include "MornaqPrefs/pages/page_classes.h"

#include "MornaqPrefs/pages/activator_controller.h"
#include "MornaqPrefs/pages/contact_list_controller.h"
#include "MornaqPrefs/pages/contact_settings_controller.h"
#include "MornaqPrefs/pages/global_list_controller.h"
#include "MornaqPrefs/pages/history_list_controller.h"
#include "MornaqPrefs/pages/policy_list_controller.h"
#include "MornaqPrefs/pages/root_header_view.h"
#include "MornaqPrefs/pages/root_list_controller.h"
#include "MornaqPrefs/pages/tweak_list_controller.h"
#include "MornaqPrefs/pages/wm_list_controller.h"
#include "MornaqPrefs/pages/wm_settings_controller.h"
#include "common/settings_format.h"
#include "platform/preferences/class_registry.h"

namespace mornaqprefs {
namespace {

template <class Page>
void registerPage() {
  platform::ClassRef cls = platform::preferences::registerBundleClass<Page>(
      Page::kClassName, "PSListController", mornaq::format::kBundlePath);
  Page::registerActions(*cls);
}

}  // namespace

void registerPageClasses() {
  registerPage<MNQRootListController>();
  registerPage<MNQGlobalListController>();
  registerPage<MNQActivatorController>();
  registerPage<ZOVTweakListController>();
  registerPage<MNQContactListController>();
  registerPage<MNQContactBlackListController>();
  registerPage<MNQContactSettingsController>();
  registerPage<MNQContactBSettingsController>();
  registerPage<MNQWMListController>();
  registerPage<MNQWMSettingsController>();
  registerPage<MNQPolicyListController>();
  registerPage<MNQHistoryListController>();
  platform::preferences::registerBundleClass<MNQRootHeaderView>(
      MNQRootHeaderView::kClassName, "UITableViewHeaderFooterView", mornaq::format::kBundlePath);
}

}  // namespace mornaqprefs
