#pragma once
// The settings format shared by the hook library and the settings bundle:
// the two files, their keys and the built-in values. Both deliverables
// include this header; neither links the other.
#include <cstddef>
#include <string_view>

namespace mornaq::format {

// Files (device paths).
inline constexpr std::string_view kMainSettingsPath =
    "/var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefs.plist";
inline constexpr std::string_view kRuleSettingsPath =
    "/var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefsWM.plist";
// Every reply that left, newest first (common/reply_history.h).
inline constexpr std::string_view kReplyHistoryPath =
    "/var/mobile/Library/Preferences/com.corvane.halbrin.mornaqhistory.plist";
inline constexpr std::string_view kSeedPath =
    "/Library/PreferenceBundles/MornaqPrefs.bundle/Empty.plist";
inline constexpr std::string_view kBundlePath = "/Library/PreferenceBundles/MornaqPrefs.bundle";
// A page row's file: this folder, the row's `defaults` domain, then ".plist".
inline constexpr std::string_view kPreferencesFolder = "/var/mobile/Library/Preferences/";
inline constexpr std::string_view kMainSettingsDomain = "com.corvane.halbrin.mornaqprefs";

// MainSettings, top level.
inline constexpr std::string_view kIsTweakEnabled = "isTweakEnabled";
inline constexpr std::string_view kIsReplyToMuteU = "isReplyToMuteU";
inline constexpr std::string_view kIsGlobalEnabled = "isGlobalEnabled";
inline constexpr std::string_view kIsWordMatchGlob = "isWordMatchGlob";
inline constexpr std::string_view kIsGlobAutoEnabled = "isGlobAutoEnabled";
inline constexpr std::string_view kCustomReplyGlob = "customReplyGlob";
inline constexpr std::string_view kCustomReplyGlobDelay = "customReplyGlobDelay";
// Whom the global path answers: absent or "everyone", "contacts" (chats with
// a contact in the address book), "nonContacts" (the others).
inline constexpr std::string_view kAudienceGlob = "audienceGlob";
inline constexpr std::string_view kAudienceEveryone = "everyone";
inline constexpr std::string_view kAudienceContacts = "contacts";
inline constexpr std::string_view kAudienceNonContacts = "nonContacts";
inline constexpr std::string_view kIsCnrtVerSupported = "isCnrtVerSupported";
inline constexpr std::string_view kFirstInstall71 = "firstInstall71";
inline constexpr std::string_view kUpdate75 = "update75";
inline constexpr std::string_view kUpdate752 = "update752";
// Reply policies.
inline constexpr std::string_view kIsReplyOnce = "isReplyOnce";
inline constexpr std::string_view kReplyOnceHours = "replyOnceHours";
inline constexpr std::string_view kIsScheduleEnabled = "isScheduleEnabled";
inline constexpr std::string_view kScheduleFrom = "scheduleFrom";
inline constexpr std::string_view kScheduleTo = "scheduleTo";
inline constexpr std::string_view kScheduleDays = "scheduleDays";
inline constexpr std::string_view kIsCancelOnUserReply = "isCancelOnUserReply";
inline constexpr std::string_view kIsAwayOnly = "isAwayOnly";
inline constexpr std::string_view kAwayMinutes = "awayMinutes";
inline constexpr std::string_view kLoopGuardReplies = "loopGuardReplies";

// MainSettings, a contact's entry (under its contact key).
inline constexpr std::string_view kIsContactEnabled = "isContactEnabled";
inline constexpr std::string_view kIsContactBlackList = "isContactBlackList";
inline constexpr std::string_view kIsWordMatch = "isWordMatch";
inline constexpr std::string_view kIsAutoReplyContact = "isAutoReplyContact";
inline constexpr std::string_view kCustomReply = "customReply";
inline constexpr std::string_view kCustomReplyDelay = "customReplyDelay";

// RuleSettings: owner key -> match word -> rule.
inline constexpr std::string_view kGlobalOwner = "GLOBALGLOBALGLOBAL";
inline constexpr std::string_view kCustomMatch = "customMatch";
inline constexpr std::string_view kCustomMatchRe = "customMatchRe";
inline constexpr std::string_view kCustomMatchReDelay = "customMatchReDelay";
// How the match word is compared with the message; absent or empty: "either".
inline constexpr std::string_view kCustomMatchKind = "customMatchKind";
inline constexpr std::string_view kMatchKindEither = "either";  // either text contains the other
inline constexpr std::string_view kMatchKindContains = "contains";
inline constexpr std::string_view kMatchKindWords = "words";
inline constexpr std::string_view kMatchKindStart = "start";
inline constexpr std::string_view kMatchKindExact = "exact";
inline constexpr std::string_view kMatchKindPattern = "pattern";

// Every key the system keeps at the top level of MainSettings, and the rule
// file's global owner: a contact whose key is one of these can have no entry
// and no rules of its own, which would take the place of that setting. Add
// each new top-level key here.
inline constexpr std::string_view kReservedContactKeys[] = {
    kIsTweakEnabled,       kIsReplyToMuteU,    kIsGlobalEnabled,
    kIsWordMatchGlob,      kIsGlobAutoEnabled, kCustomReplyGlob,
    kCustomReplyGlobDelay, kAudienceGlob,      kIsCnrtVerSupported,
    kFirstInstall71,       kUpdate75,          kUpdate752,
    kIsReplyOnce,          kReplyOnceHours,    kIsScheduleEnabled,
    kScheduleFrom,         kScheduleTo,        kScheduleDays,
    kIsCancelOnUserReply,  kIsAwayOnly,        kAwayMinutes,
    kLoopGuardReplies,     kGlobalOwner,
};
inline constexpr bool isReservedContactKey(std::string_view key) {
  for (const auto reserved : kReservedContactKeys) {
    if (key == reserved) return true;
  }
  return false;
}

// Built-in values.
inline constexpr std::string_view kBusyText =
    "Hey, I'm Busy right now please contact me later.\n\nSent by Mornaq";
inline constexpr std::string_view kDefaultDelay = "3";
inline constexpr std::string_view kNoTextSentinel = "NOSMS";
inline constexpr std::string_view kNoWordSentinel = "NOMATCH";
inline constexpr std::string_view kDefaultReplyOnceHours = "24";
inline constexpr std::string_view kDefaultAwayMinutes = "10";
inline constexpr std::string_view kDefaultLoopGuardReplies = "10";

// The reply history file: under "replies", an array of entries, newest first.
inline constexpr std::string_view kHistoryReplies = "replies";
inline constexpr std::string_view kHistoryTime = "time";  // a date
inline constexpr std::string_view kHistoryChat = "chat";  // contact key, else display name
inline constexpr std::string_view kHistoryDisplayName = "displayName";
inline constexpr std::string_view kHistoryText = "text";
inline constexpr std::size_t kHistoryLimit = 200;

// A contact's address-book identifier carries this suffix; the contact key is
// the identifier with every occurrence removed.
inline constexpr std::string_view kAddressBookSuffix = ":ABPerson";

// Cross-process names.
inline constexpr std::string_view kPrefsUpdatedNotification =
    "com.corvane.halbrin.mornaqprefs/prefsupdated";
inline constexpr std::string_view kActivatorOnListener = "com.corvane.halbrin.mornaqactivator/ONN";
inline constexpr std::string_view kActivatorOffListener = "com.corvane.halbrin.mornaqactivator/OFF";

}  // namespace mornaq::format
