#include "hosts/whatsapp/whatsapp_app.h"

#include <array>
#include <thread>
#include <utility>

#include "hosts/whatsapp/app_classes.h"
#include "hosts/whatsapp/app_names.h"
#include "platform/dispatch/main_queue.h"
#include "platform/uikit/object_factory.h"
#include "platform/uikit/uikit.h"

namespace hosts::whatsapp {
namespace {

using platform::as;
using platform::Id;
using platform::uikit::makeObject;

// The chat manager's initialiser takes the chat storage first and the
// notification centre fourth; the app has nothing to give for the rest.
Id sendChatManagerInit(const std::string& version, const Id& chatManager, const Id& chatStorage,
                       const Id& notificationCenter) {
  return withChatManagerInit(version, [&](auto parts, std::string_view selector) {
    std::array<Id, parts()> arguments;
    arguments[0] = chatStorage;
    arguments[3] = notificationCenter;
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
      return platform::send<Id>(chatManager, selector, arguments[I]...);
    }
    (std::make_index_sequence<parts()>());
  });
}

bool runsInVirtualTime(platform::Process& process) {
  return dynamic_cast<platform::VirtualMainQueue*>(&process.mainQueue()) != nullptr;
}

}  // namespace

WhatsAppApp::WhatsAppApp(platform::Process& process, const std::string& version, SentHandler sent,
                         const LoadHooks& loadHooks)
    : process_(process) {
  platform::uikit::registerClasses(process.runtime());
  registerAppClasses(process.runtime(), version);
  loadHooks();

  chatStorage_ = makeObject<ChatStorage>(
      kChatStorageClass, [this, sent](const Id& session, const std::string& text) {
        const Chat chat = session ? as<ChatSession>(session).chat : Chat{};
        if (sendingAsUser_) {
          if (userSent_) userSent_(chat, text);
        } else {
          sent(chat, text);
        }
      });
  auto transaction = makeObject<ChatSessionTransaction>(kChatSessionTransactionClass);
  transaction->chatStorage = chatStorage_;
  transaction_ = transaction;
  notificationCenter_ =
      platform::send<Id>(makeObject<MessageNotificationCenter>(kMessageNotificationCenterClass),
                         kNotificationCenterInit, Id(), Id(), chatStorage_, Id());
  initChatManager(version);
  appDelegate_ =
      platform::Runtime::createInstance(process.runtime().lookUpClass(kAppDelegateClass));
}

void WhatsAppApp::initChatManager(const std::string& version) {
  chatManager_ = sendChatManagerInit(version, makeObject<ChatManager>(kChatManagerClass),
                                     chatStorage_, notificationCenter_);
}

Id WhatsAppApp::chatSession(const Chat& chat) {
  as<MessageNotificationCenter>(notificationCenter_).setMuted(address(chat), chat.muted);
  return makeChatSession(chat);
}

Id WhatsAppApp::message(Text text, const std::optional<Chat>& chat) {
  return makeMessage(chat ? chatSession(*chat) : Id(), std::move(text));
}

void WhatsAppApp::receive(Text text, const std::optional<Chat>& chat) {
  const std::uint64_t id = ++receivedCount_;
  if (received_) received_(id, text, chat);
  Id message = this->message(std::move(text), chat);
  as<Message>(message).id = id;
  const auto record = [&] { platform::send<void>(transaction_, kTrackReceivedMessage, message); };
  if (runsInVirtualTime(process_)) {
    record();
    return;
  }
  // The event waits for the network thread, so the run cannot end before
  // every received message has been recorded.
  std::thread network([&] {
    platform::ProcessScope scope(process_);
    record();
  });
  network.join();
}

void WhatsAppApp::sendAsUser(const std::string& text, const Chat& chat) {
  sendingAsUser_ = true;
  platform::send<Id>(chatStorage_, kSendMessageWithText, text, false, Id(), std::int64_t{0},
                     chatSession(chat), false, false, false);
  sendingAsUser_ = false;
}

void WhatsAppApp::openChat(const Chat& chat) {
  auto screen = makeObject<ChatMessagesViewController>(kChatMessagesViewControllerClass);
  screen->chatSession = chatSession(chat);
  chatScreen_ = screen;
  platform::send<void>(chatScreen_, kViewDidLoad);
}

void WhatsAppApp::terminate() {
  Id application =
      platform::send<Id>(process_.runtime().lookUpClass("UIApplication"), "sharedApplication");
  platform::send<void>(appDelegate_, kApplicationWillTerminate, application);
}

}  // namespace hosts::whatsapp
