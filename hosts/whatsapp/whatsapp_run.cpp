#include "hosts/whatsapp/whatsapp_run.h"

#include <fmt/format.h>

#include "hosts/common/app_process.h"
#include "hosts/common/common_events.h"
#include "hosts/common/json_plist.h"
#include "hosts/common/observing.h"
#include "hosts/common/process_output.h"
#include "hosts/whatsapp/received_message.h"
#include "platform/foundation/notification_center.h"

namespace hosts::whatsapp {
namespace {

using nlohmann::json;
using platform::Failure;
using platform::Result;

// What the add-on tells of its work, in notifications that the app names
// itself, as it names every selector: why each received message got its reply
// or none, how each reply ended as it was about to leave, and the master
// switch whenever it is read.
constexpr std::string_view kReplyWhyNotification = "MornaqReplyWhy";
constexpr std::string_view kReplyOutcomeNotification = "MornaqReplyOutcome";

// The notification's facts, the message they are about given by the app's
// own number for it (null for one it did not receive).
json factsOfMessage(const platform::Dictionary& userInfo) {
  platform::Dictionary facts = userInfo;
  const auto message = platform::lookUp(facts, "receivedMessage").object();
  facts.erase("receivedMessage");
  json value = jsonValue(facts);
  value["id"] = message ? json(platform::as<Message>(message).id) : json();
  return value;
}

std::optional<Observing> printWhy(ProcessOutput& output, bool asked) {
  if (!asked) return std::nullopt;
  return std::optional<Observing>(std::in_place, kReplyWhyNotification,
                                  [&output](const platform::Notification& notification) {
                                    const json why = factsOfMessage(notification.userInfo);
                                    output.emit("why", why, why.value("verdict", ""));
                                  });
}

struct Sent {
  std::string text;
  Chat chat;
};

Result<Sent> readSent(const json& value) {
  if (!value.is_object()) return Failure{"expects an object"};
  if (!value.contains("text") || !value["text"].is_string()) {
    return Failure{"\"text\" must be a text"};
  }
  if (!value.contains("chat")) return Failure{"\"chat\" must be a chat"};
  Sent sent;
  for (const auto& [name, member] : value.items()) {
    if (name == "text") {
      sent.text = member.get<std::string>();
    } else if (name == "chat") {
      auto chat = readChat(member);
      PLATFORM_TRY(chat);
      sent.chat = std::move(*chat);
    } else {
      return Failure{fmt::format("unknown member \"{}\"", name)};
    }
  }
  return sent;
}

// An event that one reader reads: its check is that the value reads, its action does what the
// app does with what was read.
template <class T, class Act>
scenario::EventKind readEvent(Result<T> (*read)(const json&), Act act) {
  return {.check = [read](const json& value) -> Result<> {
            PLATFORM_TRY(read(value));
            return {};
          },
          .action = [read, act](const json& value) -> Result<> {
            act(read(value).value());
            return {};
          }};
}

scenario::EventKinds appEvents(WhatsAppApp& app) {
  return {
      {"receive",
       readEvent(readReceived,
                 [&app](const Received& received) { app.receive(received.text, received.chat); })},
      {"send",
       readEvent(readSent, [&app](const Sent& sent) { app.sendAsUser(sent.text, sent.chat); })},
      {"openChat", readEvent(readChat, [&app](const Chat& chat) { app.openChat(chat); })},
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
  auto processOptions = appProcessOptions(kBundleIdentifier, "WhatsApp", options.root,
                                          options.virtualTime, options.start);
  processOptions.randomSeed = options.seed;
  platform::Process process(std::move(processOptions));
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
  const Observing switchReads(kMasterSwitchNotification,
                              [&output](const platform::Notification& notification) {
                                output.emitForPrograms("switch", jsonValue(notification.userInfo));
                              });
  const Observing outcomes(kReplyOutcomeNotification,
                           [&output](const platform::Notification& notification) {
                             output.emitForPrograms("reply", factsOfMessage(notification.userInfo));
                           });
  const auto why = printWhy(output, options.why);
  WhatsAppApp app(process, options.version, printAs("sent"));
  app.setUserSentHandler(printAs("userSent"));
  app.setReceivedHandler(
      [&output](std::uint64_t id, const Text& text, const std::optional<Chat>& chat) {
        output.emitForPrograms("received",
                               {{"id", id}, {"text", textOrNull(text)}, {"chat", chatJson(chat)}});
      });
  auto kinds = commonEvents(output);
  kinds.merge(appEvents(app));
  return scenario::run(in, options.input, process, kinds, err);
}

}  // namespace hosts::whatsapp
