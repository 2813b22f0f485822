#include "hosts/common/common_events.h"

#include <fmt/format.h>

#include "common/settings_format.h"
#include "hosts/common/json_plist.h"
#include "platform/foundation/plist_file.h"
#include "platform/uikit/uikit.h"

namespace hosts {
namespace {

using nlohmann::json;
using platform::Failure;
using platform::Result;

Result<> tap(const json& value) {
  const auto title = value.get<std::string>();
  auto& screen = platform::uikit::Screen::current();
  if (!screen.top()) return Failure{fmt::format("no alert is shown to tap \"{}\" on", title)};
  if (screen.tap(title)) return {};
  return Failure{fmt::format("the alert shown has no button \"{}\"", title)};
}

// The scenario's reason names the file and says why.
Result<> written(const Result<>& done, std::string_view path) {
  if (done) return {};
  return Failure{fmt::format("could not write {}: {}", path, done.reason())};
}

Result<> mergeSettings(const json& value) {
  const auto done =
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
  return written(done, mornaq::format::kMainSettingsPath);
}

Result<> replaceRules(const json& value) {
  const auto done =
      platform::updatePlist(mornaq::format::kRuleSettingsPath, [&](platform::Dictionary& rules) {
        rules = *plistValue(value).dictionary();
        return true;
      });
  return written(done, mornaq::format::kRuleSettingsPath);
}

}  // namespace

scenario::EventKinds commonEvents(ProcessOutput& output) {
  return {
      {"tap", {.check = scenario::expectText, .action = tap}},
      {"settings", {.check = scenario::expectObject, .action = mergeSettings}},
      {"rules", {.check = scenario::expectObject, .action = replaceRules}},
      {"note",
       {.check = scenario::expectText,
        .action = [&output](const json& value) -> Result<> {
          output.emit("note", value);
          return {};
        }}},
  };
}

}  // namespace hosts
