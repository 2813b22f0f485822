#include "hosts/settings/settings_run.h"

#include <vector>

#include "hosts/common/process_output.h"
#include "hosts/settings/page_description.h"
#include "hosts/settings/settings_app.h"
#include "hosts/settings/ui_script.h"
#include "platform/process/process.h"
#include "platform/uikit/uikit.h"

namespace hosts::settings {

namespace {

int fail(std::ostream& err, const platform::Failure& failure) {
  err << failure.reason << '\n';
  return 2;
}

}  // namespace

int run(const RunOptions& options, std::istream& script, std::ostream& out, std::ostream& err) {
  std::vector<ScriptLine> lines;
  if (!options.live) {
    auto parsed = parseScript(script);
    if (!parsed) return fail(err, parsed.failure());
    lines = std::move(parsed).value();
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
  if (auto opened = app.openBundle(options.bundle); !opened) {
    err << opened.reason() << '\n';
    return 1;
  }
  showPage();
  if (options.live) {
    // Someone watching sees a page that changed in place too (a rule added
    // to the list on screen, say).
    const auto refreshPage = [&] {
      if (describePage(app.page(), kTableWidth, true) != shown) showPage();
    };
    const auto report = [&](const platform::Failure& failure) { fail(err, failure); };
    return runScriptLive(script, app, showPage, refreshPage, report) ? 0 : 2;
  }
  if (auto done = runScript(lines, app, showPage); !done) return fail(err, done.failure());
  return 0;
}

}  // namespace hosts::settings
