#pragma once
// The link rows pages make in code.
#include <string>
#include <string_view>

#include "platform/preferences/specifier.h"

namespace mornaqprefs {

// The row property that hands an owner or contact key to the page a row
// opens; despite its name it never holds a phone number.
inline constexpr std::string_view kPhoneNumber = "phoneNumber";
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
