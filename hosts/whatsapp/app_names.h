#pragma once
// The messaging app's own names for the classes and methods the add-on
// hooks, spelt as the app spells them. The add-on spells them again on its
// side, so a misspelling on either side leaves a hook unplaced and fails a test.
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace hosts::whatsapp {

inline constexpr std::string_view kMessageNotificationCenterClass = "WAMessageNotificationCenter";
inline constexpr std::string_view kChatSessionTransactionClass = "WAChatSessionTransaction";
inline constexpr std::string_view kChatManagerClass = "WAChatManager";
inline constexpr std::string_view kAppDelegateClass = "WhatsAppAppDelegate";
inline constexpr std::string_view kChatMessagesViewControllerClass = "WAChatMessagesViewController";
inline constexpr std::string_view kUpgradeManagerClass = "WAUpgradeManager";
inline constexpr std::string_view kChatStorageClass = "WAChatStorage";

inline constexpr std::string_view kNotificationCenterInit =
    "initWithXMPPConnection:userDefaults:chatStorage:pushPayloadDecrypter:";
inline constexpr std::string_view kTrackReceivedMessage = "trackReceivedMessage:";
inline constexpr std::string_view kApplicationWillTerminate = "applicationWillTerminate:";
inline constexpr std::string_view kViewDidLoad = "viewDidLoad";
inline constexpr std::string_view kSendMessageWithText =
    "sendMessageWithText:multicast:attachments:messageOrigin:inChatSession:hasTextFromURL:"
    "openedFromURL:smbAutomated:";

// The chat manager's initialiser, in the two shapes versions have had.
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

// Versions from 2.20.110.30 on initialise their chat manager with 17 parts,
// earlier ones with 16; each version has only its own initialiser.
bool hasChatManagerInit17(const std::string& version);

// Calls use(parts, selector) with the chat manager initialiser of this
// version: its number of parts as a std::integral_constant, and its selector.
template <class Use>
decltype(auto) withChatManagerInit(const std::string& version, Use&& use) {
  if (hasChatManagerInit17(version)) {
    return use(std::integral_constant<std::size_t, 17>(), kChatManagerInit17);
  }
  return use(std::integral_constant<std::size_t, 16>(), kChatManagerInit16);
}

}  // namespace hosts::whatsapp
