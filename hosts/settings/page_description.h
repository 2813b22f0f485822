#pragma once
// What the Settings app prints of a page and of an alert: as JSON objects, or
// as readable text for a person at a terminal.
#include <string>

#include <nlohmann/json.hpp>

#include "platform/foundation/value.h"
#include "platform/preferences/list_controller.h"
#include "platform/uikit/uikit.h"

namespace hosts::settings {

// {"class":C,"title":S,"bar":[S,...],"rows":[{"cell":C,"label":S,"key":K,
// "value":V,"detail":C},...]}; a group with a header view also has
// "header":{"class":C,"height":H}, and a row with an icon image
// "icon":NAME, the image's resource name ("ContactBl@2x"). value is what the
// row's getter gives for rows with a key, else null. A choice row also has
// "choices":[{"title":S,"value":V},...] and "choice":S, the title of its
// value's choice (null for a value it does not offer). With deletable, every row also says whether
// a swipe deletes it ("deletable":B), for a person who cannot swipe to find out.
nlohmann::json describePage(platform::preferences::PSListController& page, double tableWidth,
                            bool deletable = false);
// The same facts, one line a row.
std::string readablePage(const nlohmann::json& page);

// {"title":S,"message":S,"buttons":[S,...],"fields":[placeholder,...]}.
nlohmann::json describeAlert(const platform::uikit::UIAlertController& alert);

// A property-list value as JSON: scalars as themselves, other kinds as their
// description.
nlohmann::json toJson(const platform::Value& value);

}  // namespace hosts::settings
