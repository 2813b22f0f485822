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
#include "platform/foundation/result.h"

namespace hosts::whatsapp {

struct Received {
  Text text;
  std::optional<Chat> chat;
};

// Both fail with a text naming what is wrong.
platform::Result<Chat> readChat(const nlohmann::json& value);
platform::Result<Received> readReceived(const nlohmann::json& value);

// A chat as the reader reads it, every member written; null for none.
nlohmann::json chatJson(const std::optional<Chat>& chat);

}  // namespace hosts::whatsapp
