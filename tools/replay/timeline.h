#pragma once
// A chat export turned into the messaging app's own scenario
// (docs/command.md, "Scenario input"), one event per message, in the
// export's order:
//   {"at":T,"receive":{"text":S|null,"chat":CHAT}}   a message of another author
//   {"at":T,"send":{"text":S,"chat":CHAT}}           one of the owner ("" when it has no text)
// T is whole seconds on the local clock (TZ) since the first message, never
// less than the one before: a message written earlier than the one before it
// arrives right after it. CHAT is the roles' chat, every member written.
#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

#include "platform/foundation/value.h"
#include "tools/replay/chat_export.h"
#include "tools/replay/who_is_who.h"

namespace tools::replay {

class Timeline {
 public:
  explicit Timeline(const ChatRoles& roles);

  // The scenario event of the export's next message.
  nlohmann::json next(const ExportedMessage& message);

  // The first message's time, where the virtual clock starts
  // (`mornaq whatsapp --virtual-time --start`); none before the first message.
  const std::optional<LocalDateTime>& start() const { return start_; }

 private:
  std::string owner_;
  nlohmann::json chat_;
  std::optional<LocalDateTime> start_;
  std::optional<platform::Date> startDate_;
  std::int64_t at_ = 0;
};

}  // namespace tools::replay
