#include "tools/phone/request_handling.h"

#include <array>
#include <set>
#include <string_view>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace tools::phone {
namespace {

using Json = nlohmann::json;

constexpr std::array kApps = {App::WhatsApp, App::SpringBoard, App::Settings};

// The events the page may send to each app. The messaging app and the home
// screen stop reading at a line they refuse, so only what the page means to
// send gets through; the Settings app, run live, refuses a line and goes on.
bool allowedEvent(App app, std::string_view kind) {
  static const std::set<std::string_view> whatsApp = {"receive", "openChat", "tap"};
  static const std::set<std::string_view> springBoard = {"homeScreen", "activator", "listeners",
                                                         "tap"};
  switch (app) {
    case App::WhatsApp:
      return whatsApp.contains(kind);
    case App::SpringBoard:
      return springBoard.contains(kind);
    case App::Settings:
      return true;
  }
  return false;
}

Response text(int status, std::string body) {
  return {.status = status,
          .contentType = "text/plain; charset=utf-8",
          .body = body + "\n",
          .effect = effect::None{}};
}

Response tooLarge(std::size_t limit) {
  return text(413, fmt::format("the body is larger than {} KiB", limit / 1024));
}

// Done, with nothing to say.
Response noContent(Effect effect) {
  return {.status = 204, .contentType = {}, .body = {}, .effect = std::move(effect)};
}

// The body as the app's input line: one JSON object with one event or action.
// The apps with a clock run it at once: "at" 0 is always due.
Response feed(App app, const std::string& body) {
  Json object = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (!object.is_object() || object.size() != 1) {
    return text(400, "the body must be a JSON object with one event");
  }
  const std::string kind = object.begin().key();
  if (!allowedEvent(app, kind)) {
    return text(400, fmt::format("{} does not take \"{}\" from the page", appName(app), kind));
  }
  if (app != App::Settings) object["at"] = 0;
  return noContent(effect::Feed{app, object.dump()});
}

std::optional<App> appNamed(std::string_view name) {
  for (App app : kApps) {
    if (name == appName(app)) return app;
  }
  return std::nullopt;
}

// The longest owner's name the page may give: far more than any name.
constexpr std::size_t kLongestName = 256;

Response rehearse(const Request& request) {
  if (request.body.empty()) return text(400, "the body must be a chat export");
  const auto me = request.query.find("me");
  if (me == request.query.end() || me->second.empty()) {
    return noContent(effect::Rehearse{request.body, std::nullopt});
  }
  if (me->second.size() > kLongestName || me->second.find('\0') != std::string::npos) {
    return text(400, "\"me\" must be a name");
  }
  return noContent(effect::Rehearse{request.body, me->second});
}

bool isRehearsal(const Request& request) {
  return request.method == "POST" && request.path == "/rehearse";
}

Response post(const Request& request) {
  if (isRehearsal(request)) return rehearse(request);
  constexpr std::string_view prefix = "/apps/";
  std::string_view path = request.path;
  if (!path.starts_with(prefix)) return text(404, "not found");
  path.remove_prefix(prefix.size());
  const auto slash = path.find('/');
  const auto app = appNamed(path.substr(0, slash));
  if (!app || slash == std::string_view::npos) return text(404, "not found");
  const std::string_view verb = path.substr(slash + 1);
  if (verb == "input") return feed(*app, request.body);
  if (verb == "restart") return noContent(effect::Restart{*app});
  return text(404, "not found");
}

}  // namespace

const char* appName(App app) {
  switch (app) {
    case App::WhatsApp:
      return "whatsapp";
    case App::SpringBoard:
      return "springboard";
    case App::Settings:
      return "settings";
  }
  return "";
}

std::size_t bodyLimit(const Request& request) {
  return isRehearsal(request) ? kMaxExportBody : kMaxBody;
}

std::optional<Response> refusedUnread(const Request& request, std::size_t announcedLength,
                                      bool chunked) {
  const std::size_t limit = bodyLimit(request);
  if (announcedLength > limit || (chunked && limit == kMaxBody)) return tooLarge(limit);
  return std::nullopt;
}

Response handle(const Site& site, const Request& request) {
  // A page on another site may reach the loopback address under a name of its
  // own (DNS rebinding): the Host says so.
  const std::string self = fmt::format("127.0.0.1:{}", site.port);
  if (request.host != self) return text(421, "this server answers only to " + self);
  if (request.body.size() > bodyLimit(request)) return tooLarge(bodyLimit(request));
  const bool get = request.method == "GET" || request.method == "HEAD";
  if (!get && request.origin && *request.origin != "http://" + self) {
    return text(403, "requests from other sites are refused");
  }
  if (get) {
    if (request.path == "/events") {
      return {.status = 200,
              .contentType = "text/event-stream",
              .body = {},
              .effect = effect::Stream{}};
    }
    const auto asset = site.assets.find(request.path);
    if (asset == site.assets.end()) return text(404, "not found");
    return {.status = 200,
            .contentType = asset->second.contentType,
            .body = asset->second.body,
            .effect = effect::None{}};
  }
  if (request.method == "POST") return post(request);
  return text(405, "method not allowed");
}

}  // namespace tools::phone
