#pragma once
// The messaging app's data objects: addresses (JIDs), chat sessions and
// messages, answering the selectors the add-on sends them.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/runtime/runtime.h"

namespace hosts::whatsapp {

using Text = std::optional<std::string>;

// What the app knows of a chat.
struct Chat {
  Text contactIdentifier{};
  Text displayName{};
  bool group = false;
  std::int64_t sessionType = 0;  // 3: a status story
  bool muted = false;
};

// The chat's address, from its contact (or name) and whether it is a group.
std::string address(const Chat& chat);

class JID : public platform::Object {
 public:
  using Object::Object;
  std::string address;
};

class ChatSession : public platform::Object {
 public:
  using Object::Object;
  Chat chat;
  platform::Id jid;
};

class Message : public platform::Object {
 public:
  using Object::Object;
  platform::Id chatSession;
  platform::Id fromJID;
  Text text;
  // The app's own number for a message it received, counted from 1; 0 for
  // one it did not.
  std::uint64_t id = 0;
};

// Defines WAJID, WAChatSession and WAMessage in the process's runtime.
void registerChatObjectClasses(platform::Runtime& runtime);

// New objects of those classes, in the current process.
platform::Id makeChatSession(const Chat& chat);
platform::Id makeMessage(const platform::Id& chatSession, Text text);

}  // namespace hosts::whatsapp
