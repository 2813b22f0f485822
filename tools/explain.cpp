#include "tools/explain.h"

#include <fmt/format.h>

#include "Mornaq/engine/history_file.h"
#include "Mornaq/engine/immediate_road.h"
#include "Mornaq/engine/incoming_message.h"
#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"
#include "hosts/common/app_process.h"
#include "hosts/common/json_plist.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/wall_clock.h"
#include "tools/seeded_settings.h"

namespace tools {
namespace {

namespace format = mornaq::format;

std::string indented(std::string text, std::size_t columns) {
  for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    text.insert(at + 1, std::string(columns, ' '));
  }
  return text;
}

}  // namespace

Explainer::Explainer(const std::filesystem::path& root, const std::string& version,
                     std::optional<platform::Date> at)
    : process_(
          hosts::appProcessOptions(hosts::whatsapp::kBundleIdentifier, "WhatsApp", root, true)),
      at_(at) {
  platform::ProcessScope scope(process_);
  app_ = std::make_unique<hosts::whatsapp::WhatsAppApp>(
      process_, version, [](const hosts::whatsapp::Chat&, const std::string&) {}, [] {});
}

Explainer::~Explainer() {
  platform::ProcessScope scope(process_);
  app_.reset();
}

nlohmann::json Explainer::explain(const hosts::whatsapp::Received& received) {
  platform::ProcessScope scope(process_);
  mornaq::GivenWorld world;
  world.settings = std::make_shared<const platform::Dictionary>(mainSettingsAsSeeded());
  // The app registers its sender only when the switch is on as it starts.
  world.switchAtReceipt = mornaq::switchValue(*world.settings, format::kIsTweakEnabled);
  world.switchAtStart = world.switchAtReceipt;
  world.rules = platform::readPlistShared(format::kRuleSettingsPath);
  world.replies = mornaq::readReplyHistory();
  // A freshly started app has seen none of the user's sends.
  world.arrival = at_.value_or(platform::systemDate());
  const auto incoming = mornaq::readIncomingMessage(app_->message(received.text, received.chat),
                                                    app_->notificationCenter());
  return hosts::jsonValue(mornaq::replyWhyDictionary(mornaq::dryRun(incoming, world)));
}

std::string readableAnswer(const nlohmann::json& answer) {
  std::string lines = indented(answer.value("verdict", ""), 4) + '\n';
  for (const auto& step : answer["steps"]) {
    lines += fmt::format("  {:<10} {}\n", step["step"].get<std::string>(),
                         step["why"].get<std::string>());
  }
  return lines;
}

}  // namespace tools
