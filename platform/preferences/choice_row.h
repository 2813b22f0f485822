#pragma once
// A choice row: a list cell (PSLinkListCell) whose "validValues" are the values it can take and
// whose "validTitles" name them, place by place. On the phone a tap opens PSListItemsController,
// which lists the titles and sets the chosen one's value through the row's setter; its value is
// read and written through the row's key like any row's.
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/value.h"
#include "platform/preferences/specifier.h"

namespace platform::preferences {

struct Choice {
  std::string title;
  Value value;
  bool operator==(const Choice&) const = default;
};

// A list cell with an array of "validValues": a row of that cell with those valid values is one.
bool isChoiceCell(PSCellType cell, const Value& validValues);
bool isChoiceRow(const PSSpecifier& row);
// The row's choices in order; a value without a title at its place is named by its own text.
std::vector<Choice> choicesOf(const PSSpecifier& row);
// The choice whose value is value; none when the row does not offer it.
std::optional<Choice> choiceWithValue(const PSSpecifier& row, const Value& value);

}  // namespace platform::preferences
