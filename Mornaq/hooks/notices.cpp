#include "Mornaq/hooks/notices.h"

#include <string>
#include <string_view>

#include "Mornaq/hooks/alerts.h"
#include "common/settings_format.h"
#include "common/settings_write.h"
#include "common/version.h"

namespace mornaq {
namespace {

// U+1F60D on either side of the text.
std::string noticeTitle(std::string_view text) {
  constexpr std::string_view kHeartEyes = "\xF0\x9F\x98\x8D";
  return std::string(kHeartEyes) + " " + std::string(text) + " " + std::string(kHeartEyes);
}

// A notice is due until its key holds NO; absent counts as due.
bool isDue(const platform::Dictionary& settings, std::string_view key) {
  const platform::Value& stored = platform::lookUp(settings, key);
  return stored.isNil() || stored.boolValue();
}

void present(const platform::Id& homeScreen, std::string_view key, std::string_view title,
             std::string message) {
  presentAlert(homeScreen, noticeTitle(title), std::move(message), {okAction()});
  // A failed write is logged; the notice then shows again.
  static_cast<void>(writeSettings(format::kMainSettingsPath, [key](platform::Dictionary& settings) {
    settings[std::string(key)] = false;
    return true;
  }));
}

}  // namespace

void showNotices(const platform::Id& homeScreen) {
  const platform::Dictionary settings = platform::readPlist(format::kMainSettingsPath);
  if (isDue(settings, format::kFirstInstall71)) {
    present(homeScreen, format::kFirstInstall71, "Thanks",
            "\nThanks for buying Mornaq\n\nEnable it from setting and your life will be a lot "
            "more easier.\n\nWhatsApp version 2.20.100 and higher is supported pls update if you "
            "are using lower version.");
    return;
  }
  if (!isDue(settings, format::kUpdate75)) return;
  present(homeScreen, format::kUpdate75, "Mornaq " MORNAQ_VERSION,
          "\n Now you can use :newline: in reply which will be replaced with a blank line and "
          ":name: which will be replaced with user's name whom you are replying.\n\nTry it Now");
}

}  // namespace mornaq
