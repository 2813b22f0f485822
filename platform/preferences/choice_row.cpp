#include "platform/preferences/choice_row.h"

namespace platform::preferences {
namespace {

std::string textOf(const Value& value) { return value.stringValue().value_or(value.description()); }

}  // namespace

bool isChoiceCell(PSCellType cell, const Value& validValues) {
  return cell == PSCellType::LinkList && validValues.array();
}

bool isChoiceRow(const PSSpecifier& row) {
  return isChoiceCell(row.cellType(), row.propertyForKey("validValues"));
}

std::vector<Choice> choicesOf(const PSSpecifier& row) {
  std::vector<Choice> choices;
  const Array* values = row.propertyForKey("validValues").array();
  if (!values) return choices;
  static const Array kNoTitles;
  const Array* titles = row.propertyForKey("validTitles").array();
  if (!titles) titles = &kNoTitles;
  for (std::size_t index = 0; index < values->size(); ++index) {
    const Value& value = (*values)[index];
    auto title = index < titles->size() ? (*titles)[index].stringValue() : std::nullopt;
    choices.push_back({title.value_or(textOf(value)), value});
  }
  return choices;
}

std::optional<Choice> choiceWithValue(const PSSpecifier& row, const Value& value) {
  for (auto& choice : choicesOf(row)) {
    if (choice.value == value) return choice;
  }
  return std::nullopt;
}

}  // namespace platform::preferences
