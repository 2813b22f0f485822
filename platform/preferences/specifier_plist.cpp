#include "platform/preferences/specifier_plist.h"

#include <fmt/format.h>

#include "platform/foundation/log.h"
#include "platform/preferences/choice_row.h"

namespace platform::preferences {
namespace {

SpecifierRef specifierFromItem(const Dictionary& item, const Id& target) {
  auto cell = cellTypeNamed(lookUp(item, "cell").stringValue().value_or(""));
  if (!cell) return nullptr;
  // Switches, text fields and choice rows are the cells that show and change a value.
  const bool hasValue = cell == PSCellType::Switch || cell == PSCellType::EditText ||
                        isChoiceCell(*cell, lookUp(item, "validValues"));
  auto row = PSSpecifier::preferenceSpecifierNamed(
      lookUp(item, "label").stringValue(), target,
      hasValue ? std::optional(kSetPreferenceValue) : std::nullopt,
      hasValue ? std::optional(kReadPreferenceValue) : std::nullopt,
      lookUp(item, "detail").stringValue(), *cell);
  for (const auto& [key, value] : item) row->setProperty(value, key);
  return row;
}

}  // namespace

Specifiers specifiersFromPlist(const Dictionary& plist, const Id& target, std::string_view source) {
  Specifiers rows;
  const Array* items = lookUp(plist, "items").array();
  if (!items) return rows;
  for (std::size_t index = 0; index < items->size(); ++index) {
    const Dictionary* item = (*items)[index].dictionary();
    SpecifierRef row = item ? specifierFromItem(*item, target) : nullptr;
    if (!row) {
      NSLog(fmt::format("Preferences: item {} of {} is not a row of a known cell type; left out",
                        index, source));
      continue;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace platform::preferences
