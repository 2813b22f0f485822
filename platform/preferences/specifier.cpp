#include "platform/preferences/specifier.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "platform/process/process.h"
#include "platform/runtime/runtime.h"

namespace platform::preferences {
namespace {

constexpr std::array<std::pair<PSCellType, std::string_view>, 6> kCellNames{{
    {PSCellType::Group, "PSGroupCell"},
    {PSCellType::Link, "PSLinkCell"},
    {PSCellType::LinkList, "PSLinkListCell"},
    {PSCellType::Switch, "PSSwitchCell"},
    {PSCellType::EditText, "PSEditTextCell"},
    {PSCellType::Button, "PSButtonCell"},
}};

// The property named key in a row's list of them, or the end of the list.
template <class Properties>
auto findProperty(Properties& properties, std::string_view key) {
  return std::find_if(properties.begin(), properties.end(),
                      [key](const auto& property) { return property.first == key; });
}

// The names the rows of a process share, by their text.
class SharedNames {
 public:
  std::shared_ptr<const std::string> of(std::optional<std::string_view> text) {
    if (!text) return nullptr;
    auto kept = byText_.find(*text);
    if (kept == byText_.end()) {
      kept = byText_.emplace(*text, std::make_shared<const std::string>(*text)).first;
    }
    return kept->second;
  }

 private:
  std::map<std::string, std::shared_ptr<const std::string>, std::less<>> byText_;
};

}  // namespace

std::string_view cellTypeName(PSCellType type) {
  for (const auto& [cell, name] : kCellNames) {
    if (cell == type) return name;
  }
  fatal("a cell type without a name");
}

std::optional<PSCellType> cellTypeNamed(std::string_view name) {
  for (const auto& [cell, cellName] : kCellNames) {
    if (cellName == name) return cell;
  }
  return std::nullopt;
}

SpecifierRef PSSpecifier::preferenceSpecifierNamed(
    std::optional<std::string> name, const Id& target, std::optional<std::string_view> set,
    std::optional<std::string_view> get, std::optional<std::string_view> detail, PSCellType cell) {
  SharedNames unshared;  // outside any process there is nothing to share with
  Process* process = Process::currentOrNull();
  SharedNames& names = process ? process->state<SharedNames>() : unshared;
  auto specifier = std::make_shared<PSSpecifier>();
  specifier->name_ = std::move(name);
  specifier->target_ = target;
  specifier->setter_ = names.of(set);
  specifier->getter_ = names.of(get);
  specifier->detail_ = names.of(detail);
  specifier->cellType_ = cell;
  return specifier;
}

SpecifierRef PSSpecifier::groupSpecifierWithName(std::optional<std::string> name) {
  return preferenceSpecifierNamed(std::move(name), nullptr, std::nullopt, std::nullopt,
                                  std::nullopt, PSCellType::Group);
}

void PSSpecifier::setProperty(Value value, std::string_view key) {
  const auto kept = findProperty(properties_, key);
  if (kept != properties_.end()) {
    kept->second = std::move(value);
    return;
  }
  // Room for the six of a link row with an icon: a long list holds one of
  // these blocks per row, and every slot left empty is memory the page must
  // be given before it can show.
  constexpr std::size_t kRowProperties = 6;
  if (properties_.empty()) properties_.reserve(kRowProperties);
  properties_.emplace_back(key, std::move(value));
}

const Value& PSSpecifier::propertyForKey(std::string_view key) const {
  static const Value nil;
  const auto kept = findProperty(properties_, key);
  return kept == properties_.end() ? nil : kept->second;
}

Value PSSpecifier::performGetter() {
  Id target = target_.lock();
  if (!getter_ || !respondsToSelector(target, *getter_)) return {};
  return send<Value, SpecifierRef>(target, *getter_, shared_from_this());
}

bool PSSpecifier::performSetterWithValue(const Value& value) {
  Id target = target_.lock();
  if (!setter_ || !respondsToSelector(target, *setter_)) return false;
  send<void, Value, SpecifierRef>(target, *setter_, value, shared_from_this());
  return true;
}

}  // namespace platform::preferences
