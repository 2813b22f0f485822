#include "hosts/settings/settings_app.h"

#include <fmt/format.h>

#include <functional>

#include "hosts/common/event_output.h"
#include "hosts/settings/page_description.h"
#include "platform/preferences/choice_row.h"
#include "platform/preferences/class_registry.h"
#include "platform/preferences/preference_loader.h"
#include "platform/process/process.h"
#include "platform/uikit/object_factory.h"
#include "platform/uikit/uikit.h"

namespace hosts::settings {

using namespace platform;
using preferences::PSCellType;
using preferences::PSSpecifier;

namespace {

SpecifierRef findRow(PSListController& page, const std::function<bool(const PSSpecifier&)>& match) {
  for (const auto& row : page.specifiers()) {
    if (match(*row)) return row;
  }
  return nullptr;
}

SpecifierRef rowWithKey(PSListController& page, std::string_view key) {
  return findRow(
      page, [&](const PSSpecifier& row) { return row.propertyForKey("key").stringValue() == key; });
}

// "either, contains, words": the values a choice row offers.
std::string valuesOf(const PSSpecifier& row) {
  std::string values;
  for (const auto& choice : preferences::choicesOf(row)) {
    values += (values.empty() ? "" : ", ") + jsonText(toJson(choice.value));
  }
  return values;
}

SpecifierRef rowLabelled(PSListController& page, std::string_view label) {
  return findRow(page, [&](const PSSpecifier& row) { return row.name() == label; });
}

}  // namespace

std::string barButtonName(const uikit::UIBarButtonItem& item) {
  if (auto system = item.systemItem()) {
    return *system == uikit::UIBarButtonSystemItem::Add ? "add" : "trash";
  }
  return item.title().value_or("");
}

SettingsApp::SettingsApp() {
  Runtime& runtime = Process::current().runtime();
  uikit::registerClasses(runtime);
  preferences::registerClasses(runtime);

  auto entries = uikit::makeObject<PSListController>("PSListController");
  entries->navigationItem().setTitle("Settings");
  entries->specifiers() = preferences::loadPreferenceEntries();

  outer_ = uikit::UINavigationController::create();
  pages_ = uikit::UINavigationController::create();
  outer_->pushViewController(pages_, false);
  pages_->pushViewController(entries, false);
}

std::shared_ptr<PSListController> SettingsApp::pageRef() const {
  return std::static_pointer_cast<PSListController>(pages_->topViewController());
}

PSListController& SettingsApp::page() const { return *pageRef(); }

Result<> SettingsApp::openBundle(std::string_view bundleName) {
  SpecifierRef entry = findRow(page(), [&](const PSSpecifier& row) {
    return row.propertyForKey("bundle").stringValue() == bundleName;
  });
  if (!entry) return Failure{fmt::format("no settings bundle {} is installed", bundleName)};
  return tapRow(entry);
}

Result<> SettingsApp::pageUncovered() const {
  if (uikit::Screen::current().top())
    return Failure{"an alert covers the page: tap one of its buttons"};
  return {};
}

Result<> SettingsApp::tapRow(const SpecifierRef& row) {
  if (auto uncovered = pageUncovered(); !uncovered) return uncovered;
  auto indexPath = page().indexPathForSpecifier(row);
  if (!indexPath) return Failure{"a group title cannot be tapped"};
  return page().tableViewDidSelectRowAtIndexPath(*indexPath);
}

Result<> SettingsApp::tapRowLabelled(std::string_view label) {
  SpecifierRef row = rowLabelled(page(), label);
  if (!row) return Failure{fmt::format("no row titled \"{}\" on this page", label)};
  return tapRow(row);
}

Result<> SettingsApp::tapRowOpening(std::string_view className) {
  SpecifierRef row = findRow(
      page(), [&](const PSSpecifier& candidate) { return candidate.detail() == className; });
  if (!row) return Failure{fmt::format("no row opens {} on this page", className)};
  return tapRow(row);
}

Result<> SettingsApp::setValue(std::string_view key, const Value& value) {
  if (auto uncovered = pageUncovered(); !uncovered) return uncovered;
  SpecifierRef row = rowWithKey(page(), key);
  if (!row) return Failure{fmt::format("no row with key {} on this page", key)};
  if (row->cellType() == PSCellType::Switch && !value.isBool()) {
    return Failure{"a switch takes true or false"};
  }
  if (row->cellType() == PSCellType::EditText && !value.isString()) {
    return Failure{"a text row takes a text"};
  }
  if (preferences::isChoiceRow(*row) && !preferences::choiceWithValue(*row, value)) {
    return Failure{fmt::format("{} is not one of the values of \"{}\": {}", jsonText(toJson(value)),
                               orNull(row->name()), valuesOf(*row))};
  }
  if (!row->performSetterWithValue(value))
    return Failure{fmt::format("the row with key {} takes no value", key)};
  return {};
}

Result<> SettingsApp::typeText(std::string_view key, std::string text) {
  if (auto uncovered = pageUncovered(); !uncovered) return uncovered;
  SpecifierRef row = rowWithKey(page(), key);
  if (!row) return Failure{fmt::format("no row with key {} on this page", key)};
  if (row->cellType() != PSCellType::EditText)
    return Failure{fmt::format("the row with key {} is not a text row", key)};
  page().typeText(row, std::move(text));
  return {};
}

Result<> SettingsApp::tapBarButton(std::string_view name) {
  if (auto uncovered = pageUncovered(); !uncovered) return uncovered;
  for (const auto& item : page().navigationItem().rightBarButtonItems()) {
    if (barButtonName(*item) == name) {
      item->tap();
      return {};
    }
  }
  return Failure{fmt::format("no bar button {} on this page", name)};
}

Result<> SettingsApp::fillAlertFields(const std::vector<std::string>& texts) {
  auto alert = uikit::Screen::current().top();
  if (!alert) return Failure{"no alert is shown"};
  const auto& fields = alert->textFields();
  if (texts.size() > fields.size()) {
    return Failure{
        fmt::format("the alert has {} text fields, not {}", fields.size(), texts.size())};
  }
  for (std::size_t i = 0; i < texts.size(); ++i) fields[i]->text = texts[i];
  return {};
}

Result<> SettingsApp::tapAlertButton(std::string_view title) {
  if (!uikit::Screen::current().top()) return Failure{"no alert is shown"};
  if (!uikit::Screen::current().tap(title))
    return Failure{fmt::format("the alert has no button {}", title)};
  return {};
}

Result<> SettingsApp::swipeToDelete(std::string_view label) {
  if (auto uncovered = pageUncovered(); !uncovered) return uncovered;
  SpecifierRef row = rowLabelled(page(), label);
  if (!row) return Failure{fmt::format("no row titled \"{}\" on this page", label)};
  auto indexPath = page().indexPathForSpecifier(row);
  if (!indexPath) return Failure{"a group title cannot be swiped"};
  return page().swipeToDelete(*indexPath);
}

Result<> SettingsApp::goBack() {
  if (auto uncovered = pageUncovered(); !uncovered) return uncovered;
  if (!pages_->popViewControllerAnimated(true))
    return Failure{"this is the first page: there is no way back"};
  return {};
}

}  // namespace hosts::settings
