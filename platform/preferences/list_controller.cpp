#include "platform/preferences/list_controller.h"

#include <fmt/format.h>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/preferences/choice_row.h"
#include "platform/preferences/class_registry.h"
#include "platform/preferences/header_footer_view.h"
#include "platform/preferences/specifier_plist.h"
#include "platform/runtime/runtime.h"

namespace platform::preferences {
namespace {

// Walks the rows as the table shows them: a group row starts a new section
// (rows before the first group form a section of their own) and is its
// header, not one of its rows. visit returns true to stop.
template <class Visit>
void forEachRow(const Specifiers& rows, Visit visit) {
  std::int64_t section = 0;
  std::int64_t row = 0;
  bool sectionStarted = false;
  for (const auto& specifier : rows) {
    if (specifier->cellType() == PSCellType::Group) {
      if (sectionStarted) ++section;
      sectionStarted = true;
      row = 0;
      continue;
    }
    sectionStarted = true;
    if (visit(specifier, IndexPath{section, row++})) return;
  }
}

}  // namespace

Specifiers& PSListController::specifiers() {
  if (!specifiers_) specifiers_.emplace();
  return *specifiers_;
}

Specifiers PSListController::loadSpecifiersFromPlistName(std::string_view plistName,
                                                         const Id& target) {
  const std::string path =
      fmt::format("{}/{}.plist", bundlePathForClass(*isa()).value_or(""), plistName);
  auto plist = readPlistIfPresent(path);
  if (!plist) {
    NSLog(fmt::format("Preferences: no specifier plist at {}: {}", path, plist.reason()));
    return {};
  }
  return specifiersFromPlist(*plist, target, path);
}

void PSListController::reloadSpecifiers() {
  specifiers_.reset();
  specifiers();
}

void PSListController::setSpecifier(const SpecifierRef& specifier) {
  specifier_ = specifier;
  navigationItem().setTitle(specifier ? specifier->name() : std::nullopt);
}

Value PSListController::readPreferenceValue(const SpecifierRef& specifier) {
  return specifier->propertyForKey("default");
}

void PSListController::setPreferenceValue(const Value&, const SpecifierRef&) {}

std::optional<IndexPath> PSListController::indexPathForSpecifier(const SpecifierRef& specifier) {
  std::optional<IndexPath> found;
  forEachRow(specifiers(), [&](const SpecifierRef& row, IndexPath at) {
    if (row == specifier) found = at;
    return found.has_value();
  });
  return found;
}

SpecifierRef PSListController::specifierAtIndexPath(IndexPath indexPath) {
  SpecifierRef found;
  forEachRow(specifiers(), [&](const SpecifierRef& row, IndexPath at) {
    if (at == indexPath) found = row;
    return found != nullptr;
  });
  return found;
}

Result<> PSListController::tableViewDidSelectRowAtIndexPath(IndexPath indexPath) {
  SpecifierRef row = specifierAtIndexPath(indexPath);
  if (!row) return Failure{"no row at that place"};
  switch (row->cellType()) {
    case PSCellType::Link:
      return openDetail(row);
    case PSCellType::LinkList:
      // The list of choices the phone opens is not part of this stand-in: a choice row is
      // given one of its values instead.
      if (isChoiceRow(*row)) return Failure{"a choice row is given one of its values, not tapped"};
      return openDetail(row);
    case PSCellType::Button:
      return runAction(row);
    default:
      return Failure{fmt::format("a {} does nothing when tapped", cellTypeName(row->cellType()))};
  }
}

Result<> PSListController::openDetail(const SpecifierRef& row) {
  if (!row->detail()) return Failure{"the row names no page to open"};
  auto page = allocate<PSListController>(*row->detail());
  if (!page)
    return Failure{fmt::format("{} is not a page class of any loaded bundle", *row->detail())};
  auto navigation = navigationController();
  if (!navigation) fatal("a page opens another page only inside a navigation controller");
  page->setSpecifier(row);
  navigation->pushViewController(page, true);
  return {};
}

Result<> PSListController::runAction(const SpecifierRef& row) {
  auto action = row->propertyForKey("action").stringValue();
  if (!action) return Failure{"the button names no action"};
  Id target = row->target();
  if (!respondsToSelector(target, *action)) {
    return Failure{fmt::format("{} does not implement {}", className(target), *action)};
  }
  send<void>(target, *action);
  return {};
}

void PSListController::typeText(const SpecifierRef& specifier, std::string text) {
  if (edit_ && edit_->row == specifier) {
    edit_->text = std::move(text);
    return;
  }
  view().beginEditing([this] { finishEditing(); });
  edit_ = Edit{specifier, std::move(text)};
}

void PSListController::finishEditing() {
  if (!edit_) return;
  Edit edit = std::move(*edit_);
  edit_.reset();
  edit.row->performSetterWithValue(Value(std::move(edit.text)));
}

Result<> PSListController::swipeToDelete(IndexPath indexPath) {
  if (!specifierAtIndexPath(indexPath)) return Failure{"no row at that place"};
  if (!tableViewCanEditRowAtIndexPath(indexPath)) return Failure{"the row cannot be deleted"};
  tableViewCommitEditingStyle(UITableViewCellEditingStyle::Delete, indexPath);
  return {};
}

std::shared_ptr<uikit::UIView> PSListController::headerViewForGroup(const SpecifierRef& group,
                                                                    double tableWidth) {
  auto className = group->propertyForKey("headerCellClass").stringValue();
  if (!className) return nullptr;
  Id object = allocateInstance(*className);
  auto header = std::dynamic_pointer_cast<PSHeaderFooterView>(object);
  auto view = std::dynamic_pointer_cast<uikit::UIView>(object);
  if (!header || !view) return nullptr;
  header->initWithSpecifier(group);
  view->setFrame({0, 0, tableWidth, header->preferredHeightForWidth(tableWidth)});
  return view;
}

void PSListController::viewWillDisappear(bool animated) {
  UIViewController::viewWillDisappear(animated);
  view().endEditing(true);
}

}  // namespace platform::preferences
