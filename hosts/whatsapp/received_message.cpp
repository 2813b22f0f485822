#include "hosts/whatsapp/received_message.h"

#include <fmt/format.h>

namespace hosts::whatsapp {
namespace {

using nlohmann::json;
using platform::Failure;
using platform::Result;

Result<Text> readText(const std::string& name, const json& member) {
  if (member.is_null()) return Text{};
  if (!member.is_string()) return Failure{fmt::format("\"{}\" must be a text or null", name)};
  return Text{member.get<std::string>()};
}

Result<bool> readFlag(const std::string& name, const json& member) {
  if (!member.is_boolean()) return Failure{fmt::format("\"{}\" must be true or false", name)};
  return member.get<bool>();
}

Result<std::int64_t> readWholeNumber(const std::string& name, const json& member) {
  if (!member.is_number_integer())
    return Failure{fmt::format("\"{}\" must be a whole number", name)};
  return member.get<std::int64_t>();
}

// Puts what was read into its place in the object being read.
template <class T, class Place>
Result<> store(Result<T> read, Place& place) {
  PLATFORM_TRY(read);
  place = std::move(*read);
  return {};
}

}  // namespace

Result<Chat> readChat(const json& value) {
  if (!value.is_object()) return Failure{"a chat is an object"};
  Chat chat;
  for (const auto& [name, member] : value.items()) {
    Result<> read;
    if (name == "contactIdentifier") {
      read = store(readText(name, member), chat.contactIdentifier);
    } else if (name == "displayName") {
      read = store(readText(name, member), chat.displayName);
    } else if (name == "group") {
      read = store(readFlag(name, member), chat.group);
    } else if (name == "muted") {
      read = store(readFlag(name, member), chat.muted);
    } else if (name == "sessionType") {
      read = store(readWholeNumber(name, member), chat.sessionType);
    } else {
      read = Failure{fmt::format("unknown chat member \"{}\"", name)};
    }
    PLATFORM_TRY(read);
  }
  return chat;
}

Result<Received> readReceived(const json& value) {
  if (!value.is_object()) return Failure{"expects an object"};
  Received received;
  for (const auto& [name, member] : value.items()) {
    Result<> read;
    if (name == "text") {
      read = store(readText(name, member), received.text);
    } else if (name == "chat") {
      if (!member.is_null()) read = store(readChat(member), received.chat);
    } else {
      read = Failure{fmt::format("unknown member \"{}\"", name)};
    }
    PLATFORM_TRY(read);
  }
  return received;
}

json chatJson(const std::optional<Chat>& chat) {
  if (!chat) return nullptr;
  const auto text = [](const Text& value) { return value ? json(*value) : json(); };
  return {{"contactIdentifier", text(chat->contactIdentifier)},
          {"displayName", text(chat->displayName)},
          {"group", chat->group},
          {"sessionType", chat->sessionType},
          {"muted", chat->muted}};
}

}  // namespace hosts::whatsapp
