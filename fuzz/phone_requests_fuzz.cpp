// Any request: answering never crashes, and the rules of the door hold. A
// request for another Host, from another Origin or with a body over its limit
// (64 KiB; 32 MiB for an export to rehearse) has no effect, nor does one its
// headers refuse before its body is read; an app is fed exactly one line of
// one JSON object; only the server's own assets are served.
//
// Input: METHOD \n HOST \n ORIGIN \n PATH \n BODY, where an empty HOST or
// ORIGIN line stands for no header.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "tools/phone/request_handling.h"

namespace {

using namespace tools::phone;

[[noreturn]] void fail(const char* what, const Request& request) {
  std::fprintf(stderr, "%s: %s %s\n", what, request.method.c_str(), request.path.c_str());
  std::abort();
}

std::string_view field(std::string_view& bytes) {
  const auto end = bytes.find('\n');
  const std::string_view value = bytes.substr(0, end);
  bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
  return value;
}

std::optional<std::string> header(std::string_view value) {
  if (value.empty()) return std::nullopt;
  return std::string(value);
}

const Site& site() {
  static const Site site = [] {
    Site made{.port = 8640, .assets = {}};
    made.assets["/"] = {"text/html; charset=utf-8", "<!doctype html>"};
    made.assets["/images/header.png"] = {"image/png", "PNG"};
    return made;
  }();
  return site;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Request request;
  request.method = field(bytes);
  request.host = header(field(bytes));
  request.origin = header(field(bytes));
  request.path = field(bytes);
  request.body = bytes;

  const Response response = handle(site(), request);
  const bool ownHost = request.host == "127.0.0.1:8640";
  const bool foreignOrigin = request.origin && *request.origin != "http://127.0.0.1:8640";
  const bool acts = !std::holds_alternative<effect::None>(response.effect) &&
                    !std::holds_alternative<effect::Stream>(response.effect);
  if (!ownHost &&
      (response.status != 421 || !std::holds_alternative<effect::None>(response.effect)))
    fail("another Host was answered", request);
  if (acts && (foreignOrigin || request.body.size() > bodyLimit(request) ||
               refusedUnread(request, request.body.size(), false)))
    fail("a refused request acted", request);
  if (const auto* feed = std::get_if<effect::Feed>(&response.effect)) {
    if (feed->line.find('\n') != std::string::npos) fail("a fed line holds a line break", request);
    const auto line = nlohmann::json::parse(feed->line, nullptr, false);
    if (!line.is_object()) fail("a fed line is no JSON object", request);
  }
  if (response.status == 200 && std::holds_alternative<effect::None>(response.effect) &&
      !site().assets.contains(request.path))
    fail("something other than an asset was served", request);
  return 0;
}
