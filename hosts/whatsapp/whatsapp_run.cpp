#include "hosts/whatsapp/whatsapp_run.h"

#include <fmt/format.h>

#include "hosts/common/app_process.h"
#include "hosts/common/common_events.h"
#include "hosts/common/json_plist.h"
#include "hosts/common/process_output.h"
#include "hosts/whatsapp/received_message.h"
#include "platform/foundation/notification_center.h"

namespace hosts::whatsapp {
namespace {

using nlohmann::json;
using platform::Failure;
using platform::Result;

// The readers' error text, empty when all is well, as a result.
Result<> read(std::string error) {
  if (error.empty()) return {};
  return Failure{std::move(error)};
}

// The add-on says why each received message got its reply or none, in a
// notification that the app names itself, as it names every selector.
constexpr std::string_view kReplyWhyNotification = "MornaqReplyWhy";

platform::ObservationHandle printWhy(ProcessOutput& output) {
  return platform::NotificationCenter::defaultCenter().addObserverForName(
      std::string(kReplyWhyNotification), nullptr, nullptr,
      [&output](const platform::Notification& notification) {
        const json why = jsonValue(notification.userInfo);
        output.emit("why", why, why.value("verdict", ""));
      });
}

scenario::EventKinds appEvents(WhatsAppApp& app) {
  return {
      {"receive",
       {.check =
            [](const json& value) {
              Received unused;
              return read(readReceived(value, unused));
            },
        .action = [&app](const json& value) -> Result<> {
          Received received;
          readReceived(value, received);
          app.receive(received.text, received.chat);
          return {};
        }}},
      {"openChat",
       {.check =
            [](const json& value) {
              Chat unused;
              return read(readChat(value, unused));
            },
        .action = [&app](const json& value) -> Result<> {
          Chat chat;
          readChat(value, chat);
          app.openChat(chat);
          return {};
        }}},
      {"terminate",
       {.check = scenario::expectTrue,
        .action = [&app](const json&) -> Result<> {
          app.terminate();
          return {};
        },
        .last = true}},
  };
}

}  // namespace

int run(const RunOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  platform::Process process(
      appProcessOptions(kBundleIdentifier, "WhatsApp", options.root, options.virtualTime));
  platform::ProcessScope scope(process);
  EventOutput events(out, options.format);
  ProcessOutput output(process, events);
  WhatsAppApp app(process, options.version, [&output](const Chat& chat, const std::string& text) {
    output.emit("sent", {{"contactIdentifier", textOrNull(chat.contactIdentifier)},
                         {"displayName", textOrNull(chat.displayName)},
                         {"text", text}});
  });
  auto kinds = commonEvents(output);
  kinds.merge(appEvents(app));
  const auto why = options.why ? printWhy(output) : nullptr;
  const int status = scenario::run(in, options.input, process, kinds, err);
  if (why) platform::NotificationCenter::defaultCenter().removeObserver(why);
  return status;
}

}  // namespace hosts::whatsapp
