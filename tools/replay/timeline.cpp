#include "tools/replay/timeline.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/wall_clock.h"

namespace tools::replay {
namespace {

// The moment a local time stands for; none for one the local clock skips
// (the hour a change to summer time leaves out).
std::optional<platform::Date> momentOf(const LocalDateTime& time) {
  return platform::parseLocalDateTime(isoText(time));
}

}  // namespace

Timeline::Timeline(const ChatRoles& roles)
    : owner_(roles.owner),
      chat_({{"contactIdentifier", roles.chat.contactIdentifier
                                       ? nlohmann::json(*roles.chat.contactIdentifier)
                                       : nlohmann::json()},
             {"displayName", roles.chat.displayName},
             {"group", roles.chat.group}}) {}

nlohmann::json Timeline::next(const ExportedMessage& message) {
  if (!start_) {
    start_ = message.time;
    startDate_ = momentOf(message.time);
  }
  const auto moment = momentOf(message.time);
  if (moment && startDate_) {
    const auto since =
        std::llround(moment->secondsSinceReferenceDate - startDate_->secondsSinceReferenceDate);
    at_ = std::max<std::int64_t>(at_, since);
  }
  const bool fromOwner = !owner_.empty() && message.author == owner_;
  nlohmann::json text = message.text ? nlohmann::json(*message.text)
                        : fromOwner  ? nlohmann::json("")
                                     : nlohmann::json();
  return {{"at", at_},
          {fromOwner ? "send" : "receive", {{"text", std::move(text)}, {"chat", chat_}}}};
}

}  // namespace tools::replay
