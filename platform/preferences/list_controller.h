#pragma once
// PSListController: a settings page, a list of rows in sections (a group row
// starts a section). A bundle's pages subclass it and override the methods
// named after the selectors the framework calls. The framework's own part is
// here too: rows from a bundle's specifier plist, taps that open pages or run
// actions, text editing, swipe-to-delete and the header views of groups.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"
#include "platform/foundation/value.h"
#include "platform/preferences/specifier.h"
#include "platform/uikit/view_controller.h"

namespace platform::preferences {

struct IndexPath {
  std::int64_t section = 0;
  std::int64_t row = 0;  // counts within the section
  bool operator==(const IndexPath&) const = default;
};

enum class UITableViewCellEditingStyle : std::int64_t { None = 0, Delete = 1, Insert = 2 };

class PSListController : public uikit::UIViewController {
 public:
  using UIViewController::UIViewController;

  // The rows, whenever the framework needs them. The framework's own answer
  // is the kept row list (`_specifiers`), empty while nobody has built one.
  virtual Specifiers& specifiers();
  // The rows of the bundle's specifier plist "<plistName>.plist", target as
  // their target. A missing plist gives no rows, with a log line.
  Specifiers loadSpecifiersFromPlistName(std::string_view plistName, const Id& target);
  // Drops the kept rows and asks specifiers again.
  void reloadSpecifiers();

  // The row that opened this page. The framework's own: keeps it and takes
  // its name as the page's title.
  virtual void setSpecifier(const SpecifierRef& specifier);
  const SpecifierRef& specifier() const { return specifier_; }

  // The framework's own value access. This stand-in keeps no preference store
  // of its own, so a row shows its "default" and a change is not kept: every
  // page that shows values reads and writes its own files.
  virtual Value readPreferenceValue(const SpecifierRef& specifier);
  virtual void setPreferenceValue(const Value& value, const SpecifierRef& specifier);

  virtual bool tableViewCanEditRowAtIndexPath(IndexPath) { return false; }
  virtual void tableViewCommitEditingStyle(UITableViewCellEditingStyle, IndexPath) {}

  std::optional<IndexPath> indexPathForSpecifier(const SpecifierRef& specifier);
  SpecifierRef specifierAtIndexPath(IndexPath indexPath);

  // The framework's handling of the user's actions, as the Settings app
  // delivers them. An action that does nothing fails with the reason why.
  // A tap: a link row opens the page its detail names, a button row sends
  // its "action" to its target.
  Result<> tableViewDidSelectRowAtIndexPath(IndexPath indexPath);
  // Typing into an editable text row: the row is being edited, and its text
  // reaches the row's setter when editing ends (endEditing: on the view, or
  // the page leaving). Typing into another row ends the edit of the first.
  void typeText(const SpecifierRef& specifier, std::string text);
  // A swipe on a row: asks whether it can be edited, then commits a delete.
  Result<> swipeToDelete(IndexPath indexPath);
  // The header view of a group whose headerCellClass names a registered
  // PSHeaderFooterView, laid out for the table width; nullptr otherwise.
  std::shared_ptr<uikit::UIView> headerViewForGroup(const SpecifierRef& group, double tableWidth);

  // A page that leaves the screen ends any editing in it.
  void viewWillDisappear(bool animated) override;

 protected:
  // The kept row list; nullopt until built.
  std::optional<Specifiers> specifiers_;

 private:
  struct Edit {
    SpecifierRef row;
    std::string text;
  };
  void finishEditing();
  Result<> openDetail(const SpecifierRef& row);
  Result<> runAction(const SpecifierRef& row);

  SpecifierRef specifier_;
  std::optional<Edit> edit_;
};

}  // namespace platform::preferences
