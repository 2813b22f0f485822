#pragma once
// The Preferences framework's specifier-plist format: a dictionary whose
// "items" array holds one dictionary per row, with "cell" (PSGroupCell,
// PSSwitchCell, PSEditTextCell, PSLinkCell, PSLinkListCell, PSButtonCell),
// "label" (the title), "detail" (the page class a link opens) and any other
// properties ("key", "default", "defaults", "isController", "action",
// "headerCellClass", a choice row's "validTitles" and "validValues").
#include <string_view>

#include "platform/foundation/value.h"
#include "platform/preferences/specifier.h"

namespace platform::preferences {

// The rows of a specifier plist, with target as their target. Every entry of
// an item becomes a property of its row; switch, text and choice rows
// (choice_row.h) read and write their value through readPreferenceValue: and
// setPreferenceValue:specifier:. An item that is not a dictionary or names no known cell is left
// out with a log line naming source.
Specifiers specifiersFromPlist(const Dictionary& plist, const Id& target, std::string_view source);

}  // namespace platform::preferences
