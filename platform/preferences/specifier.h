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
                                               std::optional<std::string> set,
                                               std::optional<std::string> get,
                                               std::optional<std::string> detail, PSCellType cell);
  static SpecifierRef groupSpecifierWithName(std::optional<std::string> name);

  const std::optional<std::string>& name() const { return name_; }
  Id target() const { return target_.lock(); }
  const std::optional<std::string>& setter() const { return setter_; }
  const std::optional<std::string>& getter() const { return getter_; }
  const std::optional<std::string>& detail() const { return detail_; }
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
  std::optional<std::string> name_;
  std::weak_ptr<Object> target_;
  std::optional<std::string> setter_;
  std::optional<std::string> getter_;
  std::optional<std::string> detail_;
  PSCellType cellType_ = PSCellType::Group;
  // A row has a handful of properties, and a long list has many rows: one
  // small block each, searched in order, costs less than a tree of nodes.
  std::vector<std::pair<std::string, Value>> properties_;
};

}  // namespace platform::preferences
