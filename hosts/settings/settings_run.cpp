#include "hosts/settings/settings_run.h"

#include <fmt/format.h>

#include <variant>
#include <vector>

#include "hosts/common/process_output.h"
#include "hosts/settings/page_description.h"
#include "hosts/settings/settings_app.h"
#include "hosts/settings/ui_script.h"
#include "platform/process/process.h"
#include "platform/uikit/uikit.h"

namespace hosts::settings {

namespace {

int fail(std::ostream& err, const ScriptFailure& failure) {
  err << fmt::format("line {}: {}\n", failure.line, failure.reason);
  return 2;
}

}  // namespace

int run(const RunOptions& options, std::istream& script, std::ostream& out, std::ostream& err) {
  std::vector<ScriptLine> lines;
  if (!options.live) {
    auto parsed = parseScript(script);
    if (auto* failure = std::get_if<ScriptFailure>(&parsed)) return fail(err, *failure);
    lines = std::get<std::vector<ScriptLine>>(std::move(parsed));
  }

  // The Settings app's output has no time: nothing in it waits.
  EventOutput output(out, options.format);
  platform::Process process({.bundleIdentifier = "com.apple.Preferences",
                             .name = "Preferences",
                             .deviceRoot = options.root,
                             .clock = platform::Clock::Virtual,
                             .logSink = [&](std::string_view line) {
                               output.emit(std::nullopt, "log", std::string(line));
                             }});
  platform::ProcessScope scope(process);
  platform::uikit::Screen::current().setObserver({
      .presented =
          [&](const platform::uikit::UIAlertController& alert) {
            output.emit(std::nullopt, "alert", describeAlert(alert));
          },
      .dismissed =
          [&](const platform::uikit::UIAlertController& alert) {
            output.emit(std::nullopt, "dismiss", {{"title", textOrNull(alert.title())}});
          },
      .launched = nullptr,
      .openedURL = [&](const std::string& url) { output.emit(std::nullopt, "openURL", url); },
  });

  SettingsApp app;
  nlohmann::json shown;  // the page as printed last
  auto showPage = [&] {
    shown = describePage(app.page(), kTableWidth, options.live);
    if (options.format == EventOutput::Format::Json) {
      output.emit(std::nullopt, "page", shown);
    } else {
      output.emit(std::nullopt, "page", readablePage(shown));
    }
  };
  if (auto refusal = app.openBundle(options.bundle)) {
    err << *refusal << '\n';
    return 1;
  }
  showPage();
  if (options.live) {
    // Someone watching sees a page that changed in place too (a rule added
    // to the list on screen, say).
    const auto refreshPage = [&] {
      if (describePage(app.page(), kTableWidth, true) != shown) showPage();
    };
    const auto report = [&](const ScriptFailure& failure) { fail(err, failure); };
    return runScriptLive(script, app, showPage, refreshPage, report) ? 0 : 2;
  }
  if (auto failure = runScript(lines, app, showPage)) {
    return fail(err, *failure);
  }
  return 0;
}

}  // namespace hosts::settings
