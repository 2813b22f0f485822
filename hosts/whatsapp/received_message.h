#pragma once
// The messaging app's messages and chats as scenarios write them:
//   {"text":S,"chat":CHAT}   "text" or "chat" absent or null: a message without it
//   CHAT {"contactIdentifier":S,"displayName":S,"group":B,"sessionType":N,"muted":B},
//        absent members null, null, false, 0 and false.
// Read by the receive and openChat events and by `mornaq explain`.
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "hosts/whatsapp/chat_objects.h"

namespace hosts::whatsapp {

struct Received {
  Text text;
  std::optional<Chat> chat;
};

// Both give an error text naming what is wrong, empty when all is well.
std::string readChat(const nlohmann::json& value, Chat& chat);
std::string readReceived(const nlohmann::json& value, Received& received);

}  // namespace hosts::whatsapp
