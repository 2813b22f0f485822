#include "Mornaq/engine/reply_request.h"

#include <algorithm>

namespace mornaq {
namespace {

// A road as a host object, so that it can travel in the request's user info.
class CarriedRoad : public platform::Object {
 public:
  explicit CarriedRoad(Road road) : Object(nullptr), road(std::move(road)) {}
  const Road road;
};

// The index of the step that follows the request.
std::size_t sendingStep() {
  const auto steps = roadSteps();
  const auto found = std::find_if(steps.begin(), steps.end(),
                                  [](const RoadStep& step) { return step.before.replysOwn; });
  return static_cast<std::size_t>(found - steps.begin());
}

}  // namespace

std::int64_t requestDelaySeconds(const platform::Value& delay) {
  return std::max<std::int64_t>(0, delay.longLongValue());
}

void postReplyRequest(const Road& road) {
  platform::Dictionary userInfo;
  userInfo.emplace(kReplyRequestMsgKey, road.reply->text);
  userInfo.emplace(kReplyRequestDelayKey, road.reply->delay);
  // The sender drops a request without a chat, with its own log line.
  if (road.incoming.chatSession) {
    userInfo.emplace(kReplyRequestChatSessionKey, road.incoming.chatSession);
  }
  Road carried = road;
  carried.next = sendingStep();
  userInfo.emplace(kReplyRequestRoadKey, std::make_shared<CarriedRoad>(std::move(carried)));
  platform::NotificationCenter::defaultCenter().postNotificationName(kReplyRequestNotification,
                                                                     nullptr, std::move(userInfo));
}

Road roadOf(const platform::Notification& request) {
  const auto& userInfo = request.userInfo;
  const auto carried = std::dynamic_pointer_cast<CarriedRoad>(
      platform::lookUp(userInfo, kReplyRequestRoadKey).object());
  if (carried) return carried->road;
  Road road{.incoming =
                readChatFacts(platform::lookUp(userInfo, kReplyRequestChatSessionKey).object())};
  road.why.chatName = road.incoming.displayName;
  road.reply =
      Reply{.text = platform::lookUp(userInfo, kReplyRequestMsgKey).stringValue().value_or(""),
            .delay = platform::lookUp(userInfo, kReplyRequestDelayKey)};
  road.next = sendingStep();
  return road;
}

}  // namespace mornaq
