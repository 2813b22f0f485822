#include "hosts/whatsapp/app_classes.h"

#include "hosts/whatsapp/app_names.h"
#include "hosts/whatsapp/app_version.h"
#include "hosts/whatsapp/chat_objects.h"

namespace hosts::whatsapp {
namespace {

using platform::as;
using platform::Id;

// Both initialisers keep the chat storage, their first argument.
void addChatManagerInit(platform::Class& cls, const std::string& version) {
  withChatManagerInit(version, [&cls](auto parts, std::string_view selector) {
    using Initialiser = platform::InitWithIds<parts()>;
    cls.setMethod(selector, platform::Method(Initialiser([](Id self, Id chatStorage, auto...) {
                    as<ChatManager>(self).chatStorage = chatStorage;
                    return self;
                  })));
  });
}

void registerNotificationCenter(platform::Runtime& runtime) {
  auto center = runtime.defineClass(kMessageNotificationCenterClass);
  center->setMethod(
      kNotificationCenterInit,
      platform::Method(platform::InitWithIds<4>([](Id self, Id, Id, Id, Id) { return self; })));
  center->addMethod<bool, Id>("isChatWithJIDMuted:", [](Id self, Id jid) {
    return jid && as<MessageNotificationCenter>(self).isMuted(as<JID>(jid).address);
  });
}

void registerMessaging(platform::Runtime& runtime, const std::string& version) {
  auto transaction = runtime.defineClass(kChatSessionTransactionClass);
  transaction->addMethod<void, Id>(kTrackReceivedMessage, [](Id self, Id message) {
    as<ChatStorage>(as<ChatSessionTransaction>(self).chatStorage).record(message);
  });

  auto storage = runtime.defineClass(kChatStorageClass);
  storage->addMethod<Id, std::string, bool, Id, std::int64_t, Id, bool, bool, bool>(
      kSendMessageWithText,
      [](Id self, std::string text, bool, Id, std::int64_t, Id chatSession, bool, bool, bool) {
        return as<ChatStorage>(self).send(chatSession, text);
      });

  auto chatManager = runtime.defineClass(kChatManagerClass);
  addChatManagerInit(*chatManager, version);
  chatManager->addMethod<Id>("chatStorage",
                             [](Id self) { return as<ChatManager>(self).chatStorage; });
}

void registerAppLifecycle(platform::Runtime& runtime, const std::string& version) {
  auto delegate = runtime.defineClass(kAppDelegateClass, "UIResponder");
  delegate->addMethod<void, Id>(kApplicationWillTerminate, [](Id, Id) {});

  auto chatScreen = runtime.defineClass(kChatMessagesViewControllerClass, "UIViewController");
  chatScreen->addMethod<void>(kViewDidLoad,
                              [](Id self) { as<ChatMessagesViewController>(self).loaded = true; });

  auto upgradeManager = runtime.defineClass(kUpgradeManagerClass);
  upgradeManager->addClassMethod<Text>("previousAppVersion",
                                       [version](Id) { return Text(version); });
}

}  // namespace

void MessageNotificationCenter::setMuted(const std::string& address, bool muted) {
  std::lock_guard lock(mutex_);
  if (muted) {
    muted_.insert(address);
  } else {
    muted_.erase(address);
  }
}

bool MessageNotificationCenter::isMuted(const std::string& address) const {
  std::lock_guard lock(mutex_);
  return muted_.contains(address);
}

void ChatStorage::record(Id message) {
  std::lock_guard lock(mutex_);
  messages_.push_back(std::move(message));
}

Id ChatStorage::send(const Id& chatSession, const std::string& text) {
  Id message = makeMessage(chatSession, text);
  record(message);
  sent_(chatSession, text);
  return message;
}

bool hasChatManagerInit17(const std::string& version) { return isAtLeast(version, "2.20.110.30"); }

void registerAppClasses(platform::Runtime& runtime, const std::string& version) {
  registerChatObjectClasses(runtime);
  registerNotificationCenter(runtime);
  registerMessaging(runtime, version);
  registerAppLifecycle(runtime, version);
}

}  // namespace hosts::whatsapp
