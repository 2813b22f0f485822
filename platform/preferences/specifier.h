#pragma once
// PSSpecifier: one row of a settings page. A row has a title (its name), the
// page it belongs to (its target, not retained), the selectors that read and
// write its value on the target, the page class a tap opens (its detail), a
// cell type and a dictionary of properties ("key", "default", "defaults",
// "detail", "action", "headerCellClass", ...).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/value.h"
#include "platform/runtime/object.h"

namespace platform::preferences {

// The Preferences framework's cell types, with its numbers.
enum class PSCellType : std::int64_t {
  Group = 0,
  Link = 1,
  LinkList = 2,
  Switch = 6,
  EditText = 8,
  Button = 13,
};

// "PSGroupCell", "PSLinkCell", ...: the names specifier plists use.
std::string_view cellTypeName(PSCellType type);
std::optional<PSCellType> cellTypeNamed(std::string_view name);

// The selectors through which a row with a value reads and writes it.
inline constexpr std::string_view kReadPreferenceValue = "readPreferenceValue:";
inline constexpr std::string_view kSetPreferenceValue = "setPreferenceValue:specifier:";

class PSSpecifier;
using SpecifierRef = std::shared_ptr<PSSpecifier>;
using Specifiers = std::vector<SpecifierRef>;

class PSSpecifier : public std::enable_shared_from_this<PSSpecifier> {
 public:
  // preferenceSpecifierNamed:target:set:get:detail:cell:edit:, without the
  // edit pane, which no page here has. set and get are selector names; detail
  // is the name of the page class a tap opens.
  static SpecifierRef preferenceSpecifierNamed(std::optional<std::string> name, const Id& target,
                                               std::optional<std::string_view> set,
                                               std::optional<std::string_view> get,
                                               std::optional<std::string_view> detail,
                                               PSCellType cell);
  static SpecifierRef groupSpecifierWithName(std::optional<std::string> name);

  const std::optional<std::string>& name() const { return name_; }
  Id target() const { return target_.lock(); }
  std::optional<std::string_view> setter() const { return textOf(setter_); }
  std::optional<std::string_view> getter() const { return textOf(getter_); }
  std::optional<std::string_view> detail() const { return textOf(detail_); }
  PSCellType cellType() const { return cellType_; }

  void setProperty(Value value, std::string_view key);
  // nil when the row has no such property.
  const Value& propertyForKey(std::string_view key) const;
  Dictionary properties() const { return {properties_.begin(), properties_.end()}; }

  // The value the row shows: its getter sent to its target with the row; nil
  // when the target does not implement the getter (no page implements
  // "getIsWidgetSetForSpecifier:", the getter of the rows pages make in code).
  Value performGetter();
  // A control of the row changed: its setter sent to its target with the
  // value and the row. False when the target does not implement the setter.
  bool performSetterWithValue(const Value& value);

 private:
  // A selector or class name, one copy for every row of the process that
  // names it, as the runtime keeps one of each selector: a long list names
  // the same few, and a copy per row is memory the page must be given.
  using SharedName = std::shared_ptr<const std::string>;
  static std::optional<std::string_view> textOf(const SharedName& name) {
    return name ? std::optional<std::string_view>(*name) : std::nullopt;
  }

  std::optional<std::string> name_;
  std::weak_ptr<Object> target_;
  SharedName setter_;
  SharedName getter_;
  SharedName detail_;
  PSCellType cellType_ = PSCellType::Group;
  // A row has a handful of properties, and a long list has many rows: one
  // small block each, searched in order, costs less than a tree of nodes.
  std::vector<std::pair<std::string, Value>> properties_;
};

}  // namespace platform::preferences
