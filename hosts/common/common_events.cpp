#include "hosts/common/common_events.h"

#include <fmt/format.h>

#include "common/settings_format.h"
#include "hosts/common/json_plist.h"
#include "platform/foundation/plist_file.h"
#include "platform/uikit/uikit.h"

namespace hosts {
namespace {

using nlohmann::json;

std::string expectString(const json& value) { return value.is_string() ? "" : "expects a text"; }

std::string expectObject(const json& value) { return value.is_object() ? "" : "expects an object"; }

std::string tap(const json& value) {
  const auto title = value.get<std::string>();
  auto& screen = platform::uikit::Screen::current();
  if (!screen.top()) return fmt::format("no alert is shown to tap \"{}\" on", title);
  if (screen.tap(title)) return {};
  return fmt::format("the alert shown has no button \"{}\"", title);
}

std::string writeFailed(std::string_view path) { return fmt::format("could not write {}", path); }

std::string mergeSettings(const json& value) {
  const bool written =
      platform::updatePlist(mornaq::format::kMainSettingsPath, [&](platform::Dictionary& settings) {
        for (const auto& [key, member] : value.items()) {
          if (member.is_null()) {
            settings.erase(key);
          } else {
            settings[key] = plistValue(member);
          }
        }
        return true;
      });
  return written ? "" : writeFailed(mornaq::format::kMainSettingsPath);
}

std::string replaceRules(const json& value) {
  const bool written =
      platform::updatePlist(mornaq::format::kRuleSettingsPath, [&](platform::Dictionary& rules) {
        rules = *plistValue(value).dictionary();
        return true;
      });
  return written ? "" : writeFailed(mornaq::format::kRuleSettingsPath);
}

}  // namespace

scenario::EventKinds commonEvents(ProcessOutput& output) {
  return {
      {"tap", {.check = expectString, .action = tap}},
      {"settings", {.check = expectObject, .action = mergeSettings}},
      {"rules", {.check = expectObject, .action = replaceRules}},
      {"note",
       {.check = expectString,
        .action =
            [&output](const json& value) {
              output.emit("note", value);
              return std::string();
            }}},
  };
}

}  // namespace hosts
