#include "tools/sample_settings.h"

#include <fmt/format.h>

#include <utility>

#include <nlohmann/json.hpp>

#include "common/settings_format.h"
#include "hosts/common/app_process.h"
#include "hosts/common/json_plist.h"
#include "platform/contacts/contacts.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/file_io.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace tools {
namespace {

namespace fs = std::filesystem;
namespace format = mornaq::format;

// Switch on; a global reply for everybody; Ann with a reply of her own and
// three word-match rules (one of whole words, which greets her by her first
// name); Bob blacklisted.
constexpr const char* kMainSettings = R"({
  "isTweakEnabled": true,
  "isGlobalEnabled": true,
  "isGlobAutoEnabled": true,
  "customReplyGlob": "Hi :name:, I'm driving right now.:newline:I'll call you back soon.",
  "customReplyGlobDelay": "2",
  "ann-0001": {"isContactEnabled": true, "isWordMatch": true, "isAutoReplyContact": true,
               "customReply": "Sorry :name:, I'm in a meeting until five.",
               "customReplyDelay": "4"},
  "bob-0002": {"isContactBlackList": true}
})";

constexpr const char* kRuleSettings = R"({
  "ann-0001": {
    "hi": {"customMatch": "hi", "customMatchRe": "Hi :firstname:! Give me a minute.",
           "customMatchReDelay": "1", "customMatchKind": "words"},
    "lunch": {"customMatch": "lunch", "customMatchRe": "Yes! Lunch at one works for me.",
              "customMatchReDelay": "1"},
    "urgent": {"customMatch": "urgent", "customMatchRe": "Calling you right away.",
               "customMatchReDelay": "0"}
  }
})";

// The people of the sample settings, under the same contact keys, and one
// with nothing of her own.
constexpr const char* kAddressBook =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann-0001\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\n"
    "TEL;TYPE=CELL:+44 7700 900001\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bob-0002\r\nN:Roe;Bob;;;\r\nFN:Bob Roe\r\n"
    "TEL;TYPE=CELL:+44 7700 900002\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:carol-0003\r\nN:Diaz;Carol;;;\r\nFN:Carol Diaz\r\n"
    "TEL;TYPE=CELL:+44 7700 900003\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:dave-0004\r\nN:Kim;Dave;;;\r\nFN:Dave Kim\r\n"
    "TEL;TYPE=CELL:+44 7700 900004\r\nEND:VCARD\r\n";

}  // namespace

platform::Result<> writeSampleSettings(const fs::path& root) {
  platform::Process settingsApp(
      hosts::appProcessOptions("com.apple.Preferences", "Preferences", root, /*virtualTime=*/true));
  platform::ProcessScope scope(settingsApp);
  for (const auto& [path, json] : {std::pair{format::kMainSettingsPath, kMainSettings},
                                   std::pair{format::kRuleSettingsPath, kRuleSettings}}) {
    const auto written = platform::updatePlist(path, [json = json](platform::Dictionary& file) {
      file = *hosts::plistValue(nlohmann::json::parse(json)).dictionary();
      return true;
    });
    if (!written) {
      return platform::Failure{fmt::format("cannot write {}: {}", path, written.reason())};
    }
  }
  return {};
}

platform::Result<> writeSampleAddressBook(const fs::path& root) {
  const fs::path target = *platform::DeviceRoot(root).map(platform::contacts::kAddressBookPath);
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (error) return platform::systemFailure(error);
  return platform::replaceFileAtomically(target, kAddressBook);
}

}  // namespace tools
