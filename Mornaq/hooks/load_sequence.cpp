#include "Mornaq/hooks/load_sequence.h"

#include <memory>

#include "Mornaq/engine/history_file.h"
#include "Mornaq/engine/reply_engine.h"
#include "Mornaq/engine/reply_sender.h"
#include "Mornaq/engine/user_activity.h"
#include "Mornaq/hooks/notices.h"
#include "Mornaq/hooks/supported_versions.h"
#include "Mornaq/hooks/version_gate.h"
#include "Mornaq/host/host_interface.h"
#include "Mornaq/switch/activator_listeners.h"
#include "common/settings_format.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"
#include "platform/runtime/runtime.h"
#include "platform/substrate/substrate.h"

namespace mornaq {
namespace {

using platform::Id;

// The host's own implementations, handed back by the replacements. Each
// installation has its own set, so installing twice never makes a
// replacement call itself.
struct HostImplementations {
  host::NotificationCenterInit notificationCenterInit;
  host::TrackReceivedMessage trackReceivedMessage;
  host::ChatManagerInit17 chatManagerInit17;
  host::ChatManagerInit16 chatManagerInit16;
  host::ApplicationWillTerminate applicationWillTerminate;
  host::ViewDidLoad viewDidLoad;
  host::ViewDidAppear viewDidAppear;
  host::SendMessageWithText sendMessageWithText;
};

// Without a seed (or when seeding fails) the settings stay missing, which
// every reader takes as the defaults.
void seedMainSettings() {
  static_cast<void>(platform::seedPlistIfMissing(format::kMainSettingsPath, format::kSeedPath));
}

// The history is written whatever the switch says: replies may have left
// while it was on.
void didTerminate() {
  flushReplyHistory();
  if (!getPlistValue()) return;
  platform::NSLog("Mornaq applicationWillTerminate");
  removeReplyObservers();
}

using Host = std::shared_ptr<HostImplementations>;

// Both chat-manager initialisers: the observer is registered before the
// host's initialiser runs, capturing the object being initialised.
template <class Initialiser>
Initialiser chatManagerInit(const Host& originals, Initialiser HostImplementations::*original,
                            std::string_view tag) {
  return [originals, original, tag](Id self, auto... arguments) {
    if (getPlistValue()) registerReplyObserver(self, tag);
    return ((*originals).*original)(self, arguments...);
  };
}

// The replacements live in the process's classes for as long as it runs,
// and hold the implementations they call.
void replaceHostMethods(const Host& originals) {
  auto& runtime = platform::Process::current().runtime();
  using platform::MSHookMessageEx;

  MSHookMessageEx(
      runtime.lookUpClass(host::kWAMessageNotificationCenter), host::kNotificationCenterInit,
      [originals](Id self, Id a, Id b, Id c, Id d) {
        Id center = originals->notificationCenterInit(self, a, b, c, d);
        captureNotificationCenter(center);
        return center;
      },
      &originals->notificationCenterInit);
  MSHookMessageEx(
      runtime.lookUpClass(host::kWAChatSessionTransaction), host::kTrackReceivedMessage,
      [originals](Id self, Id message) {
        originals->trackReceivedMessage(self, message);
        didTrackReceivedMessage(message);
      },
      &originals->trackReceivedMessage);
  const auto chatManager = runtime.lookUpClass(host::kWAChatManager);
  MSHookMessageEx(
      chatManager, host::kChatManagerInit17,
      chatManagerInit(originals, &HostImplementations::chatManagerInit17, kChatManagerInit17Tag),
      &originals->chatManagerInit17);
  MSHookMessageEx(
      chatManager, host::kChatManagerInit16,
      chatManagerInit(originals, &HostImplementations::chatManagerInit16, kChatManagerInit16Tag),
      &originals->chatManagerInit16);
  MSHookMessageEx(
      runtime.lookUpClass(host::kWhatsAppAppDelegate), host::kApplicationWillTerminate,
      [originals](Id self, Id application) {
        originals->applicationWillTerminate(self, application);
        didTerminate();
      },
      &originals->applicationWillTerminate);
  MSHookMessageEx(
      runtime.lookUpClass(host::kWAChatMessagesViewController), host::kViewDidLoad,
      [originals](Id self) {
        originals->viewDidLoad(self);
        checkHostVersion(self);
      },
      &originals->viewDidLoad);
  MSHookMessageEx(
      runtime.lookUpClass(host::kSBHomeScreenViewController), host::kViewDidAppear,
      [originals](Id self, bool animated) {
        originals->viewDidAppear(self, animated);
        showNotices(self);
      },
      &originals->viewDidAppear);
  // Every message the chat storage sends, the user's as well as the add-on's.
  MSHookMessageEx(
      runtime.lookUpClass(host::kWAChatStorage), host::kSendMessageWithText,
      [originals](Id self, std::string text, bool multicast, Id attachments,
                  std::int64_t messageOrigin, Id chatSession, bool hasTextFromURL,
                  bool openedFromURL, bool smbAutomated) {
        Id message = originals->sendMessageWithText(self, std::move(text), multicast, attachments,
                                                    messageOrigin, chatSession, hasTextFromURL,
                                                    openedFromURL, smbAutomated);
        didSendMessage(chatSession);
        return message;
      },
      &originals->sendMessageWithText);
}

}  // namespace

void installHooks() {
  seedMainSettings();
  replaceHostMethods(std::make_shared<HostImplementations>());
}

void runLoadSequence() {
  for (const auto step : kLoadSequence) step();
}

}  // namespace mornaq
