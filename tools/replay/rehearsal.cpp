#include "tools/replay/rehearsal.h"

#include <fmt/format.h>

#include <sstream>

#include "hosts/common/event_output.h"
#include "hosts/whatsapp/whatsapp_run.h"
#include "platform/foundation/wall_clock.h"
#include "tools/replay/rehearsal_root.h"
#include "tools/replay/timeline.h"

namespace tools::replay {
namespace {

using platform::Failure;
using platform::Result;

struct Scenario {
  std::string events;
  std::size_t received = 0;  // how many of them are receive events
  std::optional<LocalDateTime> start;
};

Result<Scenario> scenarioWithStart(const ChatExport& chat, const ChatRoles& roles) {
  Scenario scenario;
  Timeline timeline(roles);
  PLATFORM_TRY(chat.forEachMessage([&](const ExportedMessage& message) {
    const auto event = timeline.next(message);
    if (event.contains("receive")) ++scenario.received;
    scenario.events += hosts::jsonText(event);
    scenario.events += '\n';
  }));
  scenario.start = timeline.start();
  return scenario;
}

}  // namespace

Result<std::string> scenarioOf(const ChatExport& chat, const ChatRoles& roles) {
  auto scenario = scenarioWithStart(chat, roles);
  PLATFORM_TRY(scenario);
  return std::move(scenario->events);
}

LocalDateTime localDateTime(platform::Date moment) {
  const auto local = platform::localTime(moment);
  return {local.year, local.month, local.day, local.hour, local.minute, local.second};
}

Result<Rehearsal> rehearse(const ChatExport& chat, const ChatRoles& roles,
                           const std::filesystem::path& phoneRoot,
                           const RehearsalProgress& progress) {
  auto scenario = scenarioWithStart(chat, roles);
  PLATFORM_TRY(scenario);
  const auto root = makeRehearsalRoot(phoneRoot);
  PLATFORM_TRY(root);
  Rehearsal rehearsal;
  rehearsal.switchOnOnPhone = root->switchOnOnPhone;
  if (!scenario->start) return rehearsal;  // nobody wrote anything
  const auto start = platform::parseLocalDateTime(isoText(*scenario->start));
  if (!start) {
    return Failure{fmt::format("its first message's time, {}, is not on the local clock (TZ)",
                               isoText(*scenario->start))};
  }
  rehearsal.start = *start;

  const std::size_t of = scenario->received;
  AppOutcomes outcomes([&progress, of](std::size_t received) {
    if (progress) progress(received, of);
  });
  std::ostream out(&outcomes);
  std::ostringstream err;
  std::istringstream events(std::move(scenario->events));
  const int status = hosts::whatsapp::run({.root = root->root.path(),
                                           .virtualTime = true,
                                           .format = hosts::EventOutput::Format::Json,
                                           .why = true,
                                           .start = start},
                                          events, out, err);
  if (status != 0) return Failure{"the messaging app stopped: " + err.str()};
  rehearsal.outcomes = outcomes.outcomes();
  rehearsal.outcomes.resize(of);
  return rehearsal;
}

}  // namespace tools::replay
