#pragma once
// The simulated messaging app. Starting it follows the phone: UIKit's and
// the app's classes, then the hook libraries the loader finds for
// "net.whatsapp.WhatsApp", then the message notification centre, then the
// chat manager.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "hosts/whatsapp/chat_objects.h"
#include "platform/process/process.h"
#include "platform/substrate/loader.h"

namespace hosts::whatsapp {

inline constexpr const char* kBundleIdentifier = "net.whatsapp.WhatsApp";
inline constexpr const char* kDefaultVersion = "2.20.110.30";

// A message the chat storage sent: the chat's facts and the text.
using SentHandler = std::function<void(const Chat& chat, const std::string& text)>;
// A message that arrived, with the app's number for it, before the app records it.
using ReceivedHandler =
    std::function<void(std::uint64_t id, const Text& text, const std::optional<Chat>& chat)>;

// How the app gets its hook libraries: the loader, or, in tests of a
// library's own code, that library's load sequence run in-process.
using LoadHooks = std::function<void()>;

class WhatsAppApp {
 public:
  // Starts the app in process, which must be current on this thread.
  WhatsAppApp(platform::Process& process, const std::string& version, SentHandler sent,
              const LoadHooks& loadHooks = platform::substrate::loadHookLibraries);

  // A message as it would arrive, not yet recorded: its chat's muted state
  // is set in the app's notification centre.
  platform::Id message(Text text, const std::optional<Chat>& chat);
  // The app's message notification centre, which knows the muted chats.
  const platform::Id& notificationCenter() const { return notificationCenter_; }

  // A message arrives. In real time the app records it on a network thread,
  // as the phone does; in virtual time on the one thread that drives the clock.
  void receive(Text text, const std::optional<Chat>& chat);
  void setReceivedHandler(ReceivedHandler received) { received_ = std::move(received); }
  // The user sends a message through the chat storage, as the chat screen
  // does; it reaches userSent, not the handler of the app's other sends.
  void sendAsUser(const std::string& text, const Chat& chat);
  void setUserSentHandler(SentHandler userSent) { userSent_ = std::move(userSent); }
  // A chat screen loads.
  void openChat(const Chat& chat);
  // The app is about to terminate.
  void terminate();

 private:
  platform::Id chatSession(const Chat& chat);
  void initChatManager(const std::string& version);

  platform::Process& process_;
  ReceivedHandler received_;
  std::uint64_t receivedCount_ = 0;
  SentHandler userSent_;
  bool sendingAsUser_ = false;
  platform::Id chatStorage_;
  platform::Id transaction_;
  platform::Id notificationCenter_;
  platform::Id chatManager_;
  platform::Id appDelegate_;
  platform::Id chatScreen_;
};

}  // namespace hosts::whatsapp
