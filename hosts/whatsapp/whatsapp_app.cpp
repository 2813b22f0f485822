#include "hosts/whatsapp/whatsapp_app.h"

#include <array>
#include <thread>
#include <utility>

#include "Mornaq/hooks/host_interface.h"
#include "hosts/whatsapp/app_classes.h"
#include "platform/dispatch/main_queue.h"
#include "platform/uikit/uikit.h"

namespace hosts::whatsapp {
namespace {

namespace host = mornaq::host;
using platform::as;
using platform::Id;

template <class T, class... A>
std::shared_ptr<T> make(std::string_view className, A&&... arguments) {
  auto cls = platform::Process::current().runtime().lookUpClass(className);
  return std::make_shared<T>(cls.get(), std::forward<A>(arguments)...);
}

// The chat manager's initialiser takes the chat storage first and the
// notification centre fourth; the app has nothing to give for the rest.
template <std::size_t N>
Id sendChatManagerInit(const Id& chatManager, std::string_view selector, const Id& chatStorage,
                       const Id& notificationCenter) {
  std::array<Id, N> arguments;
  arguments[0] = chatStorage;
  arguments[3] = notificationCenter;
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return platform::send<Id>(chatManager, selector, arguments[I]...);
  }
  (std::make_index_sequence<N>());
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

  chatStorage_ =
      make<ChatStorage>("WAChatStorage", [this, sent](const Id& session, const std::string& text) {
        const Chat chat = session ? as<ChatSession>(session).chat : Chat{};
        if (sendingAsUser_) {
          if (userSent_) userSent_(chat, text);
        } else {
          sent(chat, text);
        }
      });
  auto transaction = make<ChatSessionTransaction>(host::kWAChatSessionTransaction);
  transaction->chatStorage = chatStorage_;
  transaction_ = transaction;
  notificationCenter_ =
      platform::send<Id>(make<MessageNotificationCenter>(host::kWAMessageNotificationCenter),
                         host::kNotificationCenterInit, Id(), Id(), chatStorage_, Id());
  initChatManager(version);
  appDelegate_ =
      platform::Runtime::createInstance(process.runtime().lookUpClass(host::kWhatsAppAppDelegate));
}

void WhatsAppApp::initChatManager(const std::string& version) {
  Id chatManager = make<ChatManager>(host::kWAChatManager);
  if (hasChatManagerInit17(version)) {
    chatManager_ = sendChatManagerInit<17>(chatManager, host::kChatManagerInit17, chatStorage_,
                                           notificationCenter_);
  } else {
    chatManager_ = sendChatManagerInit<16>(chatManager, host::kChatManagerInit16, chatStorage_,
                                           notificationCenter_);
  }
}

Id WhatsAppApp::chatSession(const Chat& chat) {
  as<MessageNotificationCenter>(notificationCenter_).setMuted(address(chat), chat.muted);
  return makeChatSession(chat);
}

void WhatsAppApp::receive(Text text, const std::optional<Chat>& chat) {
  Id message = makeMessage(chat ? chatSession(*chat) : Id(), std::move(text));
  const auto record = [&] {
    platform::send<void>(transaction_, host::kTrackReceivedMessage, message);
  };
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
  platform::send<Id>(chatStorage_,
                     "sendMessageWithText:multicast:attachments:messageOrigin:inChatSession:"
                     "hasTextFromURL:openedFromURL:smbAutomated:",
                     text, false, Id(), std::int64_t{0}, chatSession(chat), false, false, false);
  sendingAsUser_ = false;
}

void WhatsAppApp::openChat(const Chat& chat) {
  auto screen = make<ChatMessagesViewController>(host::kWAChatMessagesViewController);
  screen->chatSession = chatSession(chat);
  chatScreen_ = screen;
  platform::send<void>(chatScreen_, host::kViewDidLoad);
}

void WhatsAppApp::terminate() {
  Id application =
      platform::send<Id>(process_.runtime().lookUpClass("UIApplication"), "sharedApplication");
  platform::send<void>(appDelegate_, host::kApplicationWillTerminate, application);
}

}  // namespace hosts::whatsapp
