#include "hosts/springboard/springboard_run.h"

#include <fmt/format.h>

#include "hosts/common/app_process.h"
#include "hosts/common/common_events.h"
#include "hosts/common/json_plist.h"
#include "hosts/common/observing.h"
#include "hosts/common/process_output.h"
#include "hosts/springboard/springboard_app.h"
#include "platform/foundation/darwin_notify_center.h"

namespace hosts::springboard {
namespace {

using nlohmann::json;
using platform::Failure;
using platform::Result;
using scenario::expectText;
using scenario::expectTrue;

nlohmann::json listenerFacts(const platform::activator::ListenerDescription& listener) {
  return {{"name", listener.name},
          {"title", textOrNull(listener.title)},
          {"description", textOrNull(listener.description)},
          {"icon", listener.icon != nullptr},
          {"smallIcon", listener.smallIcon != nullptr}};
}

scenario::EventKinds appEvents(SpringBoardApp& app, ProcessOutput& output) {
  return {
      {"homeScreen",
       {.check = expectTrue,
        .action = [&app](const json&) -> Result<> {
          app.homeScreenAppears();
          return {};
        }}},
      // A name nobody registered is a mistake in the scenario or the
      // installation; the phone would drop the event without a word.
      {"activator",
       {.check = expectText,
        .action = [&app](const json& value) -> Result<> {
          const auto name = value.get<std::string>();
          if (app.activatorEvent(name)) return {};
          return Failure{fmt::format("no listener is registered as \"{}\"", name)};
        }}},
      {"listeners",
       {.check = expectTrue,
        .action = [&app, &output](const json&) -> Result<> {
          for (const auto& listener : app.listeners()) {
            output.emit("listener", listenerFacts(listener));
          }
          return {};
        }}},
  };
}

}  // namespace

int run(const RunOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  platform::Process process(
      appProcessOptions(kBundleIdentifier, "SpringBoard", options.root, options.virtualTime));
  platform::ProcessScope scope(process);
  EventOutput events(out, options.format);
  ProcessOutput output(process, events);
  const auto darwin = platform::DarwinNotifyCenter::shared().addObserver(
      [&output](const std::string& name) { output.emit("darwin", name); });
  const Observing switchChanges(
      kMasterSwitchNotification, [&output](const platform::Notification& notification) {
        output.emitForPrograms("switch", jsonValue(notification.userInfo));
      });
  SpringBoardApp app(process);
  auto kinds = commonEvents(output);
  kinds.merge(appEvents(app, output));
  return scenario::run(in, options.input, process, kinds, err);
}

}  // namespace hosts::springboard
