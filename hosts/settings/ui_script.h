#pragma once
// Scripts of user actions for the Settings app, one JSON object a line
// (blank lines and lines starting with # are skipped):
//   {"tap":"LABEL"} or {"tap":{"detail":"CLASS"}}   tap a row
//   {"set":{"key":K,"value":V}}      change a switch, text or choice row at once
//   {"type":{"key":K,"text":S}}      type into a text row without finishing
//   {"bar":"Save"|"add"|"trash"}     tap a navigation bar button
//   {"fields":[S,...]}               type into the alert's text fields
//   {"alert":"TITLE"}                tap a button of the alert
//   {"swipe":"LABEL"}                swipe-to-delete a row
//   {"back":true}                    leave the page
//   {"show":true}                    print the page
#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "hosts/settings/settings_app.h"
#include "platform/foundation/result.h"
#include "platform/foundation/value.h"

namespace hosts::settings {

namespace action {
struct TapLabel {
  std::string label;
};
struct TapDetail {
  std::string className;
};
struct Set {
  std::string key;
  platform::Value value;
};
struct Type {
  std::string key;
  std::string text;
};
struct Bar {
  std::string name;
};
struct Fields {
  std::vector<std::string> texts;
};
struct Alert {
  std::string title;
};
struct Swipe {
  std::string label;
};
struct Back {};
struct Show {};
}  // namespace action

using Action =
    std::variant<action::TapLabel, action::TapDetail, action::Set, action::Type, action::Bar,
                 action::Fields, action::Alert, action::Swipe, action::Back, action::Show>;

struct ScriptLine {
  std::size_t number;  // from 1, counting every line of the input
  Action action;
};

// Reads and checks every line; the first malformed one is the failure, its
// reason "line N: what is wrong".
platform::Result<std::vector<ScriptLine>> parseScript(std::istream& in);

// Runs the actions in order. showPage is called after every action that
// changed the page on screen and for {"show":true}. The first action that
// matches nothing on screen stops the run and is the failure ("line N: why").
platform::Result<> runScript(const std::vector<ScriptLine>& script, SettingsApp& app,
                             const std::function<void()>& showPage);

// Reads and performs each line as it arrives, for a person or a program
// driving the app live. A malformed line or an action that matches nothing is
// handed to report and the run goes on with the next line. True when every
// line ran. refreshPage is called after every line, for a page that changed
// in place.
bool runScriptLive(std::istream& in, SettingsApp& app, const std::function<void()>& showPage,
                   const std::function<void()>& refreshPage,
                   const std::function<void(const platform::Failure&)>& report);

}  // namespace hosts::settings
