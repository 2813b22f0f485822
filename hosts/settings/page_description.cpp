#include "hosts/settings/page_description.h"

#include <fmt/format.h>

#include <cctype>
#include <type_traits>
#include <variant>

#include "hosts/common/event_output.h"
#include "hosts/common/process_output.h"
#include "hosts/settings/settings_app.h"
#include "platform/preferences/choice_row.h"
#include "platform/runtime/runtime.h"
#include "platform/uikit/image.h"

namespace hosts::settings {

using namespace platform;
using preferences::PSCellType;

namespace {

// A choice row's offer, and the title of its value's choice (null for a value it does not offer).
void describeChoices(const preferences::PSSpecifier& row, const Value& value,
                     nlohmann::json& described) {
  nlohmann::json choices = nlohmann::json::array();
  for (const auto& choice : preferences::choicesOf(row)) {
    choices.push_back({{"title", choice.title}, {"value", toJson(choice.value)}});
  }
  described["choices"] = choices;
  auto chosen = preferences::choiceWithValue(row, value);
  described["choice"] = chosen ? nlohmann::json(chosen->title) : nlohmann::json(nullptr);
}

// `  choices: "everyone" Everyone, "contacts" My contacts`.
std::string readableChoices(const nlohmann::json& row) {
  std::string text = "  choices:";
  for (const auto& choice : row["choices"]) {
    text += fmt::format("{} {} {}", &choice == &row["choices"].front() ? "" : ",",
                        jsonText(choice["value"]), choice["title"].get<std::string>());
  }
  return text;
}

nlohmann::json describeRow(preferences::PSListController& page,
                           const preferences::SpecifierRef& row, double tableWidth,
                           bool deletable) {
  auto key = row->propertyForKey("key").stringValue();
  const Value value = key ? row->performGetter() : Value();
  nlohmann::json described = {
      {"cell", preferences::cellTypeName(row->cellType())},
      {"label", textOrNull(row->name())},
      {"key", textOrNull(key)},
      {"value", toJson(value)},
      {"detail", textOrNull(row->detail())},
  };
  if (preferences::isChoiceRow(*row)) describeChoices(*row, value, described);
  if (auto icon =
          std::dynamic_pointer_cast<uikit::UIImage>(row->propertyForKey("iconImage").object())) {
    described["icon"] = icon->name();
  }
  if (deletable) {
    const auto indexPath = page.indexPathForSpecifier(row);
    described["deletable"] = indexPath && page.tableViewCanEditRowAtIndexPath(*indexPath);
  }
  if (row->cellType() == PSCellType::Group) {
    if (auto header = page.headerViewForGroup(row, tableWidth)) {
      described["header"] = {{"class", className(header)}, {"height", header->frame().height}};
    }
  }
  return described;
}

// "PSSwitchCell" reads as "switch".
std::string shortCellName(const std::string& cell) {
  std::string name = cell.substr(2, cell.size() - 6);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

std::string readableRow(const nlohmann::json& row) {
  std::string line = fmt::format("{:<9}", shortCellName(row["cell"].get<std::string>()));
  if (!row["label"].is_null()) line += row["label"].get<std::string>();
  if (!row["key"].is_null()) {
    line += fmt::format("  [{}] = {}", row["key"].get<std::string>(), jsonText(row["value"]));
    if (row.contains("choice")) {
      line += row["choice"].is_null() ? " (not one of its choices)"
                                      : " " + row["choice"].get<std::string>();
    }
  }
  if (!row["detail"].is_null()) line += fmt::format("  -> {}", row["detail"].get<std::string>());
  if (row.contains("icon")) line += fmt::format("  (icon {})", row["icon"].get<std::string>());
  if (row.contains("header")) {
    line += fmt::format("  (header {}, {} high)", row["header"]["class"].get<std::string>(),
                        jsonText(row["header"]["height"]));
  }
  if (row.contains("choices")) line += readableChoices(row);
  return line;
}

}  // namespace

nlohmann::json toJson(const Value& value) {
  return std::visit(
      [&](const auto& held) -> nlohmann::json {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return nullptr;
        } else if constexpr (std::is_same_v<T, Unsigned>) {
          return held.value;
        } else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::int64_t> ||
                             std::is_same_v<T, double> || std::is_same_v<T, std::string>) {
          return held;
        } else {
          return value.description();
        }
      },
      value.storage());
}

nlohmann::json describePage(preferences::PSListController& page, double tableWidth,
                            bool deletable) {
  nlohmann::json bar = nlohmann::json::array();
  for (const auto& item : page.navigationItem().rightBarButtonItems()) {
    bar.push_back(barButtonName(*item));
  }
  nlohmann::json rows = nlohmann::json::array();
  for (const auto& row : page.specifiers())
    rows.push_back(describeRow(page, row, tableWidth, deletable));
  return {{"class", className(page.self())},
          {"title", textOrNull(page.navigationItem().title())},
          {"bar", bar},
          {"rows", rows}};
}

std::string readablePage(const nlohmann::json& page) {
  std::string text =
      fmt::format("{} ({})", page["title"].is_null() ? "" : page["title"].get<std::string>(),
                  page["class"].get<std::string>());
  if (!page["bar"].empty()) {
    text += "  bar:";
    for (const auto& name : page["bar"]) text += " " + name.get<std::string>();
  }
  for (const auto& row : page["rows"]) text += "\n" + readableRow(row);
  return text;
}

nlohmann::json describeAlert(const uikit::UIAlertController& alert) {
  nlohmann::json buttons = nlohmann::json::array();
  for (const auto& action : alert.actions()) buttons.push_back(action.title);
  nlohmann::json fields = nlohmann::json::array();
  for (const auto& field : alert.textFields()) fields.push_back(field->placeholder);
  return {{"title", textOrNull(alert.title())},
          {"message", textOrNull(alert.message())},
          {"buttons", buttons},
          {"fields", fields}};
}

}  // namespace hosts::settings
