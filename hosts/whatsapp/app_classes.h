#pragma once
// The messaging app's own machinery, with the selectors and signatures the
// add-on hooks and calls: the notification centre that knows muted chats,
// the transaction that records received messages, the chat storage that sends,
// the chat manager, the app delegate, the chat screen and the upgrade manager.
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/runtime/runtime.h"

namespace hosts::whatsapp {

class MessageNotificationCenter : public platform::Object {
 public:
  using Object::Object;
  void setMuted(const std::string& address, bool muted);
  bool isMuted(const std::string& address) const;

 private:
  mutable std::mutex mutex_;
  std::set<std::string> muted_;
};

// Keeps every message received or sent; hands each sent one to the app.
class ChatStorage : public platform::Object {
 public:
  using Sent = std::function<void(const platform::Id& chatSession, const std::string& text)>;
  ChatStorage(const platform::Class* isa, Sent sent) : Object(isa), sent_(std::move(sent)) {}

  void record(platform::Id message);
  // The outgoing message, recorded and handed to the app.
  platform::Id send(const platform::Id& chatSession, const std::string& text);

 private:
  std::mutex mutex_;
  std::vector<platform::Id> messages_;
  Sent sent_;
};

class ChatSessionTransaction : public platform::Object {
 public:
  using Object::Object;
  platform::Id chatStorage;
};

class ChatManager : public platform::Object {
 public:
  using Object::Object;
  platform::Id chatStorage;
};

class ChatMessagesViewController : public platform::Object {
 public:
  using Object::Object;
  platform::Id chatSession;
  bool loaded = false;
};

// Defines the classes in the process's runtime (after UIKit's).
void registerAppClasses(platform::Runtime& runtime, const std::string& version);

}  // namespace hosts::whatsapp
