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

struct Sent {
  std::string text;
  Chat chat;
};

std::string readSent(const json& value, Sent& sent) {
  if (!value.is_object()) return "expects an object";
  if (!value.contains("text") || !value["text"].is_string()) return "\"text\" must be a text";
  if (!value.contains("chat")) return "\"chat\" must be a chat";
  for (const auto& [name, member] : value.items()) {
    if (name == "text") {
      sent.text = member.get<std::string>();
    } else if (name == "chat") {
      if (std::string error = readChat(member, sent.chat); !error.empty()) return error;
    } else {
      return fmt::format("unknown member \"{}\"", name);
    }
  }
  return {};
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
      {"send",
       {.check =
            [](const json& value) {
              Sent unused;
              return read(readSent(value, unused));
            },
        .action = [&app](const json& value) -> Result<> {
          Sent sent;
          readSent(value, sent);
          app.sendAsUser(sent.text, sent.chat);
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
  platform::Process process(appProcessOptions(kBundleIdentifier, "WhatsApp", options.root,
                                              options.virtualTime, options.start));
  platform::ProcessScope scope(process);
  EventOutput events(out, options.format);
  ProcessOutput output(process, events);
  const auto printAs = [&output](std::string_view kind) {
    return [&output, kind](const Chat& chat, const std::string& text) {
      output.emit(kind, {{"contactIdentifier", textOrNull(chat.contactIdentifier)},
                         {"displayName", textOrNull(chat.displayName)},
                         {"text", text}});
    };
  };
  WhatsAppApp app(process, options.version, printAs("sent"));
  app.setUserSentHandler(printAs("userSent"));
  auto kinds = commonEvents(output);
  kinds.merge(appEvents(app));
  const auto why = options.why ? printWhy(output) : nullptr;
  const int status = scenario::run(in, options.input, process, kinds, err);
  if (why) platform::NotificationCenter::defaultCenter().removeObserver(why);
  return status;
}

}  // namespace hosts::whatsapp
