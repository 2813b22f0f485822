#pragma once
// Everything the hook library asks of the messaging app and the home screen,
// as typed message sends. The library reaches host objects only through this
// file, never through the hosts' own types.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/runtime.h"

namespace mornaq::host {

using platform::Id;
using platform::send;
using Text = std::optional<std::string>;  // an NSString that may be nil

// Classes.
inline constexpr std::string_view kWAMessageNotificationCenter = "WAMessageNotificationCenter";
inline constexpr std::string_view kWAChatSessionTransaction = "WAChatSessionTransaction";
inline constexpr std::string_view kWAChatManager = "WAChatManager";
inline constexpr std::string_view kWhatsAppAppDelegate = "WhatsAppAppDelegate";
inline constexpr std::string_view kWAChatMessagesViewController = "WAChatMessagesViewController";
inline constexpr std::string_view kSBHomeScreenViewController = "SBHomeScreenViewController";
inline constexpr std::string_view kWAUpgradeManager = "WAUpgradeManager";
inline constexpr std::string_view kWAChatStorage = "WAChatStorage";

// Hooked selectors.
inline constexpr std::string_view kNotificationCenterInit =
    "initWithXMPPConnection:userDefaults:chatStorage:pushPayloadDecrypter:";
inline constexpr std::string_view kTrackReceivedMessage = "trackReceivedMessage:";
inline constexpr std::string_view kChatManagerInit16 =
    "initWithChatStorage:contactsStorage:bizManager:messageNotificationCenter:"
    "profilePictureManager:signalManager:messageMediaDownloader:mediaUploader:messagingService:"
    "blockedContactsList:xmppConnection:nameDirectory:syncManager:registrationManager:"
    "twoFactorManager:webClient:";
inline constexpr std::string_view kChatManagerInit17 =
    "initWithChatStorage:contactsStorage:bizManager:messageNotificationCenter:"
    "profilePictureManager:signalManager:messageMediaDownloader:mediaUploader:messagingService:"
    "blockedContactsList:xmppConnection:nameDirectory:syncManager:registrationManager:"
    "twoFactorManager:webClient:backedUpKeyValueStore:";
inline constexpr std::string_view kApplicationWillTerminate = "applicationWillTerminate:";
inline constexpr std::string_view kViewDidLoad = "viewDidLoad";
inline constexpr std::string_view kViewDidAppear = "viewDidAppear:";
inline constexpr std::string_view kSendMessageWithText =
    "sendMessageWithText:multicast:attachments:messageOrigin:inChatSession:hasTextFromURL:"
    "openedFromURL:smbAutomated:";

// Signatures of the hooked methods.
using NotificationCenterInit = platform::InitWithIds<4>;
using TrackReceivedMessage = std::function<void(Id self, Id message)>;
using ChatManagerInit16 = platform::InitWithIds<16>;
using ChatManagerInit17 = platform::InitWithIds<17>;
using ApplicationWillTerminate = std::function<void(Id self, Id application)>;
using ViewDidLoad = std::function<void(Id self)>;
using ViewDidAppear = std::function<void(Id self, bool animated)>;
using SendMessageWithText = std::function<Id(
    Id self, std::string text, bool multicast, Id attachments, std::int64_t messageOrigin,
    Id chatSession, bool hasTextFromURL, bool openedFromURL, bool smbAutomated)>;

// A received message.
inline Id chatSession(const Id& message) { return send<Id>(message, "chatSession"); }
inline Id fromJID(const Id& message) { return send<Id>(message, "fromJID"); }
inline Text text(const Id& message) { return send<Text>(message, "text"); }

// A chat session.
inline bool isGroupChat(const Id& chat) { return send<bool>(chat, "isGroupChat"); }
inline std::int64_t sessionType(const Id& chat) { return send<std::int64_t>(chat, "sessionType"); }
inline Text contactIdentifier(const Id& chat) { return send<Text>(chat, "contactIdentifier"); }
inline Text displayName(const Id& chat) { return send<Text>(chat, "displayName"); }

// The message notification centre.
inline bool isChatWithJIDMuted(const Id& center, const Id& jid) {
  return send<bool>(center, "isChatWithJIDMuted:", jid);
}

// The chat manager and its storage.
inline Id chatStorage(const Id& chatManager) { return send<Id>(chatManager, "chatStorage"); }
inline void sendMessageWithText(const Id& storage, const std::string& text, bool multicast,
                                const Id& attachments, std::int64_t messageOrigin,
                                const Id& chatSession, bool hasTextFromURL, bool openedFromURL,
                                bool smbAutomated) {
  send<Id>(storage, kSendMessageWithText, text, multicast, attachments, messageOrigin, chatSession,
           hasTextFromURL, openedFromURL, smbAutomated);
}

// WAUpgradeManager's class method.
inline Text previousAppVersion(const Id& upgradeManagerClass) {
  return send<Text>(upgradeManagerClass, "previousAppVersion");
}

}  // namespace mornaq::host
