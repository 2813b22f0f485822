#include "hosts/settings/settings_run.h"

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
  const auto parsed = parseScript(script);
  if (!parsed) return fail(err, parsed.failure());

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
  auto showPage = [&] {
    nlohmann::json page = describePage(app.page(), kTableWidth);
    if (options.format == EventOutput::Format::Json) {
      output.emit(std::nullopt, "page", page);
    } else {
      output.emit(std::nullopt, "page", readablePage(page));
    }
  };
  if (auto refusal = app.openBundle(options.bundle)) {
    err << *refusal << '\n';
    return 1;
  }
  showPage();
  if (auto done = runScript(*parsed, app, showPage); !done) return fail(err, done.failure());
  return 0;
}

}  // namespace hosts::settings
