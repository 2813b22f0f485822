#include "hosts/whatsapp/whatsapp_run.h"

#include <fmt/format.h>

#include "hosts/common/app_process.h"
#include "hosts/common/common_events.h"
#include "hosts/common/process_output.h"

namespace hosts::whatsapp {
namespace {

using nlohmann::json;
using platform::Failure;
using platform::Result;

Result<> readText(const std::string& name, const json& member, Text& text) {
  if (member.is_null()) return {};
  if (!member.is_string()) return Failure{fmt::format("\"{}\" must be a text or null", name)};
  text = member.get<std::string>();
  return {};
}

Result<> readFlag(const std::string& name, const json& member, bool& flag) {
  if (!member.is_boolean()) return Failure{fmt::format("\"{}\" must be true or false", name)};
  flag = member.get<bool>();
  return {};
}

Result<> readChatMember(const std::string& name, const json& member, Chat& chat) {
  if (name == "contactIdentifier") return readText(name, member, chat.contactIdentifier);
  if (name == "displayName") return readText(name, member, chat.displayName);
  if (name == "group") return readFlag(name, member, chat.group);
  if (name == "muted") return readFlag(name, member, chat.muted);
  if (name == "sessionType") {
    if (!member.is_number_integer()) return Failure{"\"sessionType\" must be a whole number"};
    chat.sessionType = member.get<std::int64_t>();
    return {};
  }
  return Failure{fmt::format("unknown chat member \"{}\"", name)};
}

Result<Chat> readChat(const json& value) {
  if (!value.is_object()) return Failure{"a chat is an object"};
  Chat chat;
  for (const auto& [name, member] : value.items()) {
    if (auto read = readChatMember(name, member, chat); !read) return read.failure();
  }
  return chat;
}

struct Received {
  Text text;
  std::optional<Chat> chat;
};

Result<Received> readReceived(const json& value) {
  if (!value.is_object()) return Failure{"expects an object"};
  Received received;
  for (const auto& [name, member] : value.items()) {
    if (name == "text") {
      if (auto read = readText(name, member, received.text); !read) return read.failure();
    } else if (name == "chat") {
      if (member.is_null()) continue;
      auto chat = readChat(member);
      if (!chat) return chat.failure();
      received.chat = std::move(*chat);
    } else {
      return Failure{fmt::format("unknown member \"{}\"", name)};
    }
  }
  return received;
}

// A check that reads the event as its action will.
template <class T>
Result<> readsAs(Result<T> read) {
  if (!read) return read.failure();
  return {};
}

scenario::EventKinds appEvents(WhatsAppApp& app) {
  return {
      {"receive",
       {.check = [](const json& value) { return readsAs(readReceived(value)); },
        .action = [&app](const json& value) -> Result<> {
          const auto received = readReceived(value);
          app.receive(received->text, received->chat);
          return {};
        }}},
      {"openChat",
       {.check = [](const json& value) { return readsAs(readChat(value)); },
        .action = [&app](const json& value) -> Result<> {
          app.openChat(*readChat(value));
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
  return scenario::run(in, options.input, process, kinds, err);
}

}  // namespace hosts::whatsapp
