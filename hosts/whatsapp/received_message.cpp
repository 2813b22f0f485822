#include "hosts/whatsapp/received_message.h"

#include <fmt/format.h>

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

}  // namespace

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

}  // namespace hosts::whatsapp
