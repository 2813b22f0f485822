#pragma once
// One rehearsal: the messaging app with the add-on loaded, run in virtual
// time on a chat export's timeline (timeline.h) in a private device root
// (rehearsal_root.h), its clock starting at the first message's local time.
// The app runs in this process, as `mornaq whatsapp --virtual-time --json
// --why` would run it, and what it did is read from its events as they are
// printed (app_outcomes.h).
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/result.h"
#include "platform/foundation/value.h"
#include "tools/replay/app_outcomes.h"
#include "tools/replay/chat_export.h"
#include "tools/replay/who_is_who.h"

namespace tools::replay {

struct Rehearsal {
  // The outcome of each message of the contact, in the export's order: the
  // i-th received message is the i-th of the contact.
  std::vector<Outcome> outcomes;
  platform::Date start;  // the app's clock at 0 s
  bool switchOnOnPhone = false;
};

// Told, as the app receives them, how many of how many messages it has.
using RehearsalProgress = std::function<void(std::size_t received, std::size_t of)>;

// The export's messages as the app's scenario, one JSON event a line.
platform::Result<std::string> scenarioOf(const ChatExport& chat, const ChatRoles& roles);

// Rehearses chat on a private copy of phoneRoot's settings.
platform::Result<Rehearsal> rehearse(const ChatExport& chat, const ChatRoles& roles,
                                     const std::filesystem::path& phoneRoot,
                                     const RehearsalProgress& progress = {});

// A moment as the local clock (TZ) shows it.
LocalDateTime localDateTime(platform::Date moment);

}  // namespace tools::replay
