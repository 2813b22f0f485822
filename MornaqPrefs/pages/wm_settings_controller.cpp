#include "MornaqPrefs/pages/wm_settings_controller.h"

#include "MornaqPrefs/pages/link_rows.h"
#include "MornaqPrefs/pages/rule_settings.h"
#include "common/settings_format.h"
#include "platform/text/pattern.h"

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
  if (*key == format::kCustomMatchKind) {
    if (auto fault = patternFault()) showNotice(*fault);
  }
}

std::optional<PageChrome::Notice> MNQWMSettingsController::savedFault() { return patternFault(); }

std::optional<PageChrome::Notice> MNQWMSettingsController::patternFault() const {
  const auto rules = platform::readPlistShared(format::kRuleSettingsPath);
  const Dictionary* rule = ruleIn(*rules, phoneNumber(), fullName_);
  if (!rule || platform::lookUp(*rule, format::kCustomMatchKind).stringValue() !=
                   format::kMatchKindPattern) {
    return std::nullopt;
  }
  auto pattern = platform::text::Pattern::compile(fullName_);
  if (pattern) return std::nullopt;
  return Notice{"Pattern not valid", pattern.reason()};
}

}  // namespace mornaqprefs
