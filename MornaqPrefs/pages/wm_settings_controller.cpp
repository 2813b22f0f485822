#include "MornaqPrefs/pages/wm_settings_controller.h"

#include "MornaqPrefs/pages/link_rows.h"
#include "MornaqPrefs/pages/rule_settings.h"
#include "common/settings_format.h"

namespace mornaqprefs {

namespace format = mornaq::format;

MNQWMSettingsController::MNQWMSettingsController(const platform::Class* cls)
    : PageChrome(cls, {.plist = "Match"}) {}

void MNQWMSettingsController::setSpecifier(const SpecifierRef& specifier) {
  PageChrome::setSpecifier(specifier);
  fullName_ = specifier->name().value_or("");
}

void MNQWMSettingsController::pageWillAppear() { navigationItem().setTitle(fullName_); }

Value MNQWMSettingsController::readPreferenceValue(const SpecifierRef& specifier) {
  const auto rules = platform::readPlistShared(format::kRuleSettingsPath);
  return valueOrDefault(ruleIn(*rules, phoneNumber(), fullName_), *specifier);
}

void MNQWMSettingsController::setPreferenceValue(const Value& value,
                                                 const SpecifierRef& specifier) {
  auto key = rowKey(*specifier);
  if (!key) return settings().refuse(*specifier);
  settings().update(format::kRuleSettingsPath, [&](Dictionary& rules) {
    Dictionary* rule = ruleIn(rules, phoneNumber(), fullName_);
    if (!rule) return false;
    rule->insert_or_assign(*key, value);
    return true;
  });
}

}  // namespace mornaqprefs
