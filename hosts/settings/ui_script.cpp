#include "hosts/settings/ui_script.h"

#include <fmt/format.h>

#include <nlohmann/json.hpp>

#include "hosts/common/json_plist.h"

namespace hosts::settings {
namespace {

using Json = nlohmann::json;
using platform::Failure;
using platform::Result;
// An action, or why the line does not make one.
using Parsed = Result<Action>;

std::optional<std::string> textMember(const Json& object, const char* name) {
  if (!object.is_object() || !object.contains(name) || !object[name].is_string()) {
    return std::nullopt;
  }
  return object[name].get<std::string>();
}

Parsed parseTap(const Json& argument) {
  if (argument.is_string()) return Action(action::TapLabel{argument.get<std::string>()});
  if (auto detail = textMember(argument, "detail")) return Action(action::TapDetail{*detail});
  return Failure{R"("tap" takes a row title or {"detail":CLASS})"};
}

Parsed parseSet(const Json& argument) {
  auto key = textMember(argument, "key");
  if (!key || !argument.contains("value")) return Failure{R"("set" takes {"key":K,"value":V})"};
  const Json& value = argument["value"];
  if (!value.is_boolean() && !value.is_string()) {
    return Failure{R"("set" takes true, false or a text as "value")"};
  }
  return Action(action::Set{*key, plistValue(value)});
}

Parsed parseType(const Json& argument) {
  auto key = textMember(argument, "key");
  auto text = textMember(argument, "text");
  if (!key || !text) return Failure{R"("type" takes {"key":K,"text":S})"};
  return Action(action::Type{*key, *text});
}

Parsed parseFields(const Json& argument) {
  action::Fields fields;
  if (argument.is_array()) {
    for (const auto& text : argument) {
      if (!text.is_string()) break;
      fields.texts.push_back(text.get<std::string>());
    }
    if (fields.texts.size() == argument.size()) return Action(std::move(fields));
  }
  return Failure{R"("fields" takes an array of texts)"};
}

// For the actions whose argument is one text.
template <class A>
Parsed parseText(const Json& argument, const char* name) {
  if (argument.is_string()) return Action(A{argument.get<std::string>()});
  return Failure{fmt::format(R"("{}" takes a text)", name)};
}

// For the actions whose argument is just true.
template <class A>
Parsed parseTrue(const Json& argument, const char* name) {
  if (argument == Json(true)) return Action(A{});
  return Failure{fmt::format(R"("{}" takes true)", name)};
}

Parsed parseAction(const std::string& line) {
  Json object = Json::parse(line, nullptr, /*allow_exceptions=*/false);
  if (!object.is_object() || object.size() != 1) {
    return Failure{"not a JSON object with one action"};
  }
  const std::string name = object.begin().key();
  const Json& argument = object.begin().value();
  if (name == "tap") return parseTap(argument);
  if (name == "set") return parseSet(argument);
  if (name == "type") return parseType(argument);
  if (name == "bar") return parseText<action::Bar>(argument, "bar");
  if (name == "fields") return parseFields(argument);
  if (name == "alert") return parseText<action::Alert>(argument, "alert");
  if (name == "swipe") return parseText<action::Swipe>(argument, "swipe");
  if (name == "back") return parseTrue<action::Back>(argument, "back");
  if (name == "show") return parseTrue<action::Show>(argument, "show");
  return Failure{fmt::format("unknown action \"{}\"", name)};
}

bool skipped(const std::string& line) {
  const auto start = line.find_first_not_of(" \t\r");
  return start == std::string::npos || line[start] == '#';
}

Result<> perform(const Action& action, SettingsApp& app) {
  return std::visit(
      [&](const auto& a) -> Result<> {
        using A = std::decay_t<decltype(a)>;
        if constexpr (std::is_same_v<A, action::TapLabel>) return app.tapRowLabelled(a.label);
        if constexpr (std::is_same_v<A, action::TapDetail>) return app.tapRowOpening(a.className);
        if constexpr (std::is_same_v<A, action::Set>) return app.setValue(a.key, a.value);
        if constexpr (std::is_same_v<A, action::Type>) return app.typeText(a.key, a.text);
        if constexpr (std::is_same_v<A, action::Bar>) return app.tapBarButton(a.name);
        if constexpr (std::is_same_v<A, action::Fields>) return app.fillAlertFields(a.texts);
        if constexpr (std::is_same_v<A, action::Alert>) return app.tapAlertButton(a.title);
        if constexpr (std::is_same_v<A, action::Swipe>) return app.swipeToDelete(a.label);
        if constexpr (std::is_same_v<A, action::Back>) return app.goBack();
        return {};  // Show: the caller prints the page
      },
      action);
}

Failure failureOnLine(std::size_t number, std::string_view reason) {
  return Failure{fmt::format("line {}: {}", number, reason)};
}

Result<> runLine(const ScriptLine& line, SettingsApp& app, const std::function<void()>& showPage) {
  auto pageBefore = app.pageRef();
  if (auto done = perform(line.action, app); !done)
    return failureOnLine(line.number, done.reason());
  if (app.pageRef() != pageBefore || std::holds_alternative<action::Show>(line.action)) {
    showPage();
  }
  return {};
}

}  // namespace

Result<std::vector<ScriptLine>> parseScript(std::istream& in) {
  std::vector<ScriptLine> script;
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    if (skipped(line)) continue;
    Parsed parsed = parseAction(line);
    if (!parsed) return failureOnLine(number, parsed.reason());
    script.push_back({number, std::move(parsed).value()});
  }
  return script;
}

Result<> runScript(const std::vector<ScriptLine>& script, SettingsApp& app,
                   const std::function<void()>& showPage) {
  for (const auto& line : script) {
    if (auto done = runLine(line, app, showPage); !done) return done;
  }
  return {};
}

bool runScriptLive(std::istream& in, SettingsApp& app, const std::function<void()>& showPage,
                   const std::function<void()>& refreshPage,
                   const std::function<void(const Failure&)>& report) {
  bool allRan = true;
  std::string text;
  for (std::size_t number = 1; std::getline(in, text); ++number) {
    if (skipped(text)) continue;
    Parsed parsed = parseAction(text);
    const Result<> done = parsed ? runLine({number, std::move(parsed).value()}, app, showPage)
                                 : Result<>(failureOnLine(number, parsed.reason()));
    if (!done) {
      report(done.failure());
      allRan = false;
    }
    refreshPage();
  }
  return allRan;
}

}  // namespace hosts::settings
