#include "MornaqPrefs/pages/settings_store.h"

#include <fmt/format.h>

#include "common/settings_format.h"
#include "common/settings_write.h"
#include "platform/foundation/log.h"

namespace mornaqprefs {
namespace {

// The settings file of a row: its domain's plist in the preferences folder.
std::optional<std::string> settingsPath(const PSSpecifier& row) {
  auto domain = row.propertyForKey("defaults").stringValue();
  if (!domain) return std::nullopt;
  return fmt::format("{}{}.plist", mornaq::format::kPreferencesFolder, *domain);
}

}  // namespace

Value valueOrDefault(const Dictionary* settings, const PSSpecifier& row) {
  auto key = rowKey(row);
  if (settings && key) {
    if (const Value& stored = platform::lookUp(*settings, *key); !stored.isNil()) return stored;
  }
  return row.propertyForKey("default");
}

std::optional<std::string> rowKey(const PSSpecifier& row) {
  return row.propertyForKey("key").stringValue();
}

Value SettingsStore::valueOf(const PSSpecifier& row) const {
  auto path = settingsPath(row);
  const auto settings = path ? platform::readPlistShared(*path) : nullptr;
  return valueOrDefault(settings.get(), row);
}

void SettingsStore::setValue(const Value& value, const PSSpecifier& row) {
  auto path = settingsPath(row);
  auto key = rowKey(row);
  if (!path || !key) return refuse(row);
  update(*path, [&](Dictionary& settings) {
    settings.insert_or_assign(*key, value);
    return true;
  });
}

void SettingsStore::update(std::string_view path, const platform::PlistChange& change) {
  // The reason of a failure is logged by the write.
  if (!mornaq::writeSettings(path, change)) {
    failed(fmt::format("A change could not be written to {}.", path));
  }
}

void SettingsStore::refuse(const PSSpecifier& row) {
  std::string why =
      fmt::format("The row \"{}\" names no settings file or key.", platform::orNull(row.name()));
  platform::NSLog(fmt::format("[Mornaq] {}", why));
  failed(std::move(why));
}

void SettingsStore::failed(std::string why) {
  told_(why);
  failedWrite_ = std::move(why);
}

}  // namespace mornaqprefs
