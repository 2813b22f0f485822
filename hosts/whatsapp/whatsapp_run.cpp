#include "hosts/whatsapp/whatsapp_run.h"

#include <fmt/format.h>

#include "hosts/common/app_process.h"
#include "hosts/common/common_events.h"
#include "hosts/common/process_output.h"

namespace hosts::whatsapp {
namespace {

using nlohmann::json;

std::string readText(const std::string& name, const json& member, Text& text) {
  if (member.is_null()) return {};
  if (!member.is_string()) return fmt::format("\"{}\" must be a text or null", name);
  text = member.get<std::string>();
  return {};
}

std::string readFlag(const std::string& name, const json& member, bool& flag) {
  if (!member.is_boolean()) return fmt::format("\"{}\" must be true or false", name);
  flag = member.get<bool>();
  return {};
}

std::string readChat(const json& value, Chat& chat) {
  if (!value.is_object()) return "a chat is an object";
  for (const auto& [name, member] : value.items()) {
    std::string error;
    if (name == "contactIdentifier") {
      error = readText(name, member, chat.contactIdentifier);
    } else if (name == "displayName") {
      error = readText(name, member, chat.displayName);
    } else if (name == "group") {
      error = readFlag(name, member, chat.group);
    } else if (name == "muted") {
      error = readFlag(name, member, chat.muted);
    } else if (name == "sessionType") {
      if (!member.is_number_integer()) return "\"sessionType\" must be a whole number";
      chat.sessionType = member.get<std::int64_t>();
    } else {
      error = fmt::format("unknown chat member \"{}\"", name);
    }
    if (!error.empty()) return error;
  }
  return {};
}

struct Received {
  Text text;
  std::optional<Chat> chat;
};

std::string readReceived(const json& value, Received& received) {
  if (!value.is_object()) return "expects an object";
  for (const auto& [name, member] : value.items()) {
    std::string error;
    if (name == "text") {
      error = readText(name, member, received.text);
    } else if (name == "chat") {
      if (!member.is_null()) error = readChat(member, received.chat.emplace());
    } else {
      error = fmt::format("unknown member \"{}\"", name);
    }
    if (!error.empty()) return error;
  }
  return {};
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
              return readReceived(value, unused);
            },
        .action =
            [&app](const json& value) {
              Received received;
              readReceived(value, received);
              app.receive(received.text, received.chat);
              return std::string();
            }}},
      {"send",
       {.check =
            [](const json& value) {
              Sent unused;
              return readSent(value, unused);
            },
        .action =
            [&app](const json& value) {
              Sent sent;
              readSent(value, sent);
              app.sendAsUser(sent.text, sent.chat);
              return std::string();
            }}},
      {"openChat",
       {.check =
            [](const json& value) {
              Chat unused;
              return readChat(value, unused);
            },
        .action =
            [&app](const json& value) {
              Chat chat;
              readChat(value, chat);
              app.openChat(chat);
              return std::string();
            }}},
      {"terminate",
       {.check = [](const json& value) { return value == true ? "" : "expects true"; },
        .action =
            [&app](const json&) {
              app.terminate();
              return std::string();
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
  return scenario::run(in, options.input, process, kinds, err);
}

}  // namespace hosts::whatsapp
