#include "tests/Mornaq/engine/test_host.h"

#include <algorithm>

#include "Mornaq/engine/reply_request.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/plist_file.h"
#include "platform/runtime/runtime.h"
#include "platform/uikit/uikit.h"

namespace engine_test {

namespace {

using platform::as;

struct Chat : platform::Object {
  using Object::Object;
  ChatSpec facts;
};

struct Message : platform::Object {
  using Object::Object;
  Id chat;
  Id fromJID;
  Text text;
};

struct Center : platform::Object {
  using Object::Object;
  std::vector<Id> muted;
};

template <class T>
std::shared_ptr<T> instance(platform::Runtime& runtime, std::string_view className) {
  return std::make_shared<T>(runtime.lookUpClass(className).get());
}

}  // namespace

TestHost::TestHost(platform::Process& process) : process_(process) {
  auto& runtime = process.runtime();
  platform::uikit::registerClasses(runtime);

  auto chat = runtime.defineClass("WAChatSession");
  chat->addMethod<bool>("isGroupChat", [](Id self) { return as<Chat>(self).facts.isGroupChat; });
  chat->addMethod<std::int64_t>("sessionType",
                                [](Id self) { return as<Chat>(self).facts.sessionType; });
  chat->addMethod<Text>("contactIdentifier",
                        [](Id self) { return as<Chat>(self).facts.contactIdentifier; });
  // Chats without a name: the why-record names the sender by its contact key.
  chat->addMethod<Text>("displayName", [](Id) { return Text(); });

  auto message = runtime.defineClass("WAMessage");
  message->addMethod<Id>("chatSession", [](Id self) { return as<Message>(self).chat; });
  message->addMethod<Id>("fromJID", [](Id self) { return as<Message>(self).fromJID; });
  message->addMethod<Text>("text", [](Id self) { return as<Message>(self).text; });

  runtime.defineClass("WAJID");
  auto center = runtime.defineClass("WAMessageNotificationCenter");
  center->addMethod<bool, Id>("isChatWithJIDMuted:", [](Id self, Id jid) {
    const auto& muted = as<Center>(self).muted;
    return std::find(muted.begin(), muted.end(), jid) != muted.end();
  });

  platform::NotificationCenter::defaultCenter().addObserverForName(
      std::string(mornaq::kReplyRequestNotification), nullptr, nullptr,
      [this](const platform::Notification& posted) {
        requests_.push_back({process_.mainQueue().now(), posted.object, posted.userInfo});
      });
  platform::uikit::ScreenObserver observer;
  observer.launched = [this](const std::string& identifier, bool suspended) {
    launches_.emplace_back(identifier, suspended);
  };
  platform::uikit::Screen::current().setObserver(std::move(observer));
}

Id TestHost::chat(ChatSpec facts) {
  auto chat = instance<Chat>(process_.runtime(), "WAChatSession");
  chat->facts = std::move(facts);
  return chat;
}

Id TestHost::jid() {
  return platform::Runtime::createInstance(process_.runtime().lookUpClass("WAJID"));
}

Id TestHost::message(const Id& chat, Text text, const Id& fromJID) {
  auto message = instance<Message>(process_.runtime(), "WAMessage");
  message->chat = chat;
  message->fromJID = fromJID ? fromJID : jid();
  message->text = std::move(text);
  return message;
}

Id TestHost::notificationCenter(std::vector<Id> mutedJIDs) {
  auto center = instance<Center>(process_.runtime(), "WAMessageNotificationCenter");
  center->muted = std::move(mutedJIDs);
  return center;
}

void writeSettings(std::string_view devicePath, const platform::Dictionary& settings) {
  const auto written = platform::updatePlist(devicePath, [&](platform::Dictionary& stored) {
    stored = settings;
    return true;
  });
  if (!written) platform::fatal("cannot write the settings a test needs");
}

platform::Dictionary replyRequest(const std::string& msg, const std::string& delay,
                                  const Id& chat) {
  platform::Dictionary userInfo{{"msg", msg}, {"delay", delay}};
  if (chat) userInfo.emplace("ChatSession", chat);
  return userInfo;
}

}  // namespace engine_test
