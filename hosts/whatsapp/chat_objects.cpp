#include "hosts/whatsapp/chat_objects.h"

#include <memory>

#include "platform/uikit/object_factory.h"

namespace hosts::whatsapp {
namespace {

using platform::as;
using platform::Id;
using platform::uikit::makeObject;

}  // namespace

std::string address(const Chat& chat) {
  const std::string user = chat.contactIdentifier.value_or(chat.displayName.value_or("unknown"));
  return user + (chat.group ? "@g.us" : "@s.whatsapp.net");
}

void registerChatObjectClasses(platform::Runtime& runtime) {
  runtime.defineClass("WAJID");

  auto session = runtime.defineClass("WAChatSession");
  session->addMethod<Text>("contactIdentifier",
                           [](Id self) { return as<ChatSession>(self).chat.contactIdentifier; });
  session->addMethod<Text>("displayName",
                           [](Id self) { return as<ChatSession>(self).chat.displayName; });
  session->addMethod<bool>("isGroupChat", [](Id self) { return as<ChatSession>(self).chat.group; });
  session->addMethod<std::int64_t>("sessionType",
                                   [](Id self) { return as<ChatSession>(self).chat.sessionType; });

  auto message = runtime.defineClass("WAMessage");
  message->addMethod<Id>("chatSession", [](Id self) { return as<Message>(self).chatSession; });
  message->addMethod<Id>("fromJID", [](Id self) { return as<Message>(self).fromJID; });
  message->addMethod<Text>("text", [](Id self) { return as<Message>(self).text; });
}

Id makeChatSession(const Chat& chat) {
  auto jid = makeObject<JID>("WAJID");
  jid->address = address(chat);
  auto session = makeObject<ChatSession>("WAChatSession");
  session->chat = chat;
  session->jid = jid;
  return session;
}

Id makeMessage(const Id& chatSession, Text text) {
  auto message = makeObject<Message>("WAMessage");
  message->chatSession = chatSession;
  message->fromJID = chatSession ? as<ChatSession>(chatSession).jid : nullptr;
  message->text = std::move(text);
  return message;
}

}  // namespace hosts::whatsapp
