#pragma once
// The link rows pages make in code.
#include <string>
#include <string_view>

#include "MornaqPrefs/pages/owner_key.h"
#include "platform/preferences/specifier.h"

namespace mornaqprefs {

inline constexpr std::string_view kGetIsWidgetSet = "getIsWidgetSetForSpecifier:";

// A link-list row titled name on target that opens detailClass: no setter,
// the getter no page implements (it shows no value), and the class's name
// also in the "detail" property.
platform::preferences::SpecifierRef linkRow(std::string name, const platform::Id& target,
                                            std::string_view detailClass);

// The group whose footer tells that the page's contact has a reserved key
// (common/settings_format.h) and so no settings of its own.
platform::preferences::SpecifierRef noOwnSettingsFooter();

}  // namespace mornaqprefs
