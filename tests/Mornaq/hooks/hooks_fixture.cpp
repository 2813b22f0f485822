#include "tests/Mornaq/hooks/hooks_fixture.h"

#include "Mornaq/engine/reply_request.h"
#include "Mornaq/hooks/load_sequence.h"
#include "common/settings_format.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/plist_file.h"

namespace hooks_test {

void HooksTest::writeSettings(const Dictionary& values) {
  EXPECT_TRUE(platform::updatePlist(mornaq::format::kMainSettingsPath, [&](Dictionary& settings) {
    for (const auto& [key, value] : values) settings[key] = value;
    return true;
  }));
}

Dictionary HooksTest::mainSettings() {
  return platform::readPlist(mornaq::format::kMainSettingsPath);
}

void HooksTest::start(const std::string& version) {
  app = std::make_unique<hosts::whatsapp::WhatsAppApp>(
      process.process(), version,
      [this](const Chat& chat, const std::string& text) {
        sent.push_back({process.queue().now(), chat, text});
      },
      mornaq::runLoadSequence);
}

void HooksTest::postReplyRequest(platform::Value msg, platform::Value delay, const Id& chat) {
  Dictionary userInfo{{std::string(mornaq::kReplyRequestMsgKey), std::move(msg)},
                      {std::string(mornaq::kReplyRequestDelayKey), std::move(delay)}};
  if (chat) userInfo.emplace(mornaq::kReplyRequestChatSessionKey, chat);
  platform::NotificationCenter::defaultCenter().postNotificationName(
      mornaq::kReplyRequestNotification, nullptr, std::move(userInfo));
}

}  // namespace hooks_test
