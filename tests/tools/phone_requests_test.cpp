// What `mornaq phone` answers to raw requests: the security rules first
// (Host, Origin, body size, only its own assets), then what each request asks
// of the apps.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include <nlohmann/json.hpp>

#include "tools/phone/request_handling.h"

namespace {

using namespace tools::phone;

constexpr int kPort = 8640;
const std::string kHost = "127.0.0.1:8640";
const std::string kOrigin = "http://127.0.0.1:8640";

Site site() {
  Site site{.port = kPort, .assets = {}};
  site.assets["/"] = {"text/html; charset=utf-8", "<!doctype html>"};
  site.assets["/phone.js"] = {"text/javascript; charset=utf-8", "'use strict';"};
  site.assets["/images/header.png"] = {"image/png", "PNG"};
  return site;
}

Request request(std::string method, std::string path, std::string body = {}) {
  return {.method = std::move(method),
          .host = kHost,
          .origin = std::nullopt,
          .path = std::move(path),
          .query = {},
          .body = std::move(body)};
}

struct Case {
  const char* name;
  Request request;
  int status;
};

class Statuses : public testing::TestWithParam<Case> {};

TEST_P(Statuses, AreTheRulesOfTheDoor) {
  EXPECT_EQ(handle(site(), GetParam().request).status, GetParam().status);
}

Request withHost(std::optional<std::string> host, Request r = request("GET", "/")) {
  r.host = std::move(host);
  return r;
}
Request withOrigin(std::string origin, Request r) {
  r.origin = std::move(origin);
  return r;
}
const std::string kTap = R"({"tap":"Ok"})";

INSTANTIATE_TEST_SUITE_P(
    Phone, Statuses,
    testing::Values(
        // Only its own loopback address and port: a rebound name, another port,
        // "localhost" or no Host at all is misdirected.
        Case{"OwnHost", request("GET", "/"), 200}, Case{"NoHost", withHost(std::nullopt), 421},
        Case{"OtherName", withHost("evil.example:8640"), 421},
        Case{"Localhost", withHost("localhost:8640"), 421},
        Case{"OtherPort", withHost("127.0.0.1:8641"), 421},
        Case{"HostWithoutPort", withHost("127.0.0.1"), 421},
        Case{"HostPrefix", withHost("127.0.0.1:86400"), 421},
        Case{"WrongHostEvenForPosts",
             withHost("evil.example", request("POST", "/apps/settings/input", kTap)), 421},
        // State changes only with no Origin or its own.
        Case{"PostWithoutOrigin", request("POST", "/apps/settings/input", kTap), 204},
        Case{"PostFromItsPage", withOrigin(kOrigin, request("POST", "/apps/settings/input", kTap)),
             204},
        Case{"PostFromAnotherSite",
             withOrigin("http://evil.example", request("POST", "/apps/settings/input", kTap)), 403},
        Case{"PostFromAnotherPort",
             withOrigin("http://127.0.0.1:9999", request("POST", "/apps/whatsapp/restart")), 403},
        Case{"PostFromOpaqueOrigin", withOrigin("null", request("POST", "/apps/whatsapp/restart")),
             403},
        Case{"OriginOnAGetIsHarmless", withOrigin("http://evil.example", request("GET", "/")), 200},
        // Bodies up to 64 KiB.
        Case{"BodyAtTheLimit",
             request("POST", "/apps/settings/input",
                     R"({"tap":")" + std::string(kMaxBody - 10, 'a') + "\"}"),
             204},
        Case{"BodyOverTheLimit",
             request("POST", "/apps/settings/input", std::string(kMaxBody + 1, ' ')), 413},
        // A chat export to rehearse, up to 32 MiB; there and nowhere else.
        Case{"ExportOverTheSmallLimit",
             request("POST", "/rehearse", std::string(kMaxBody + 1, ' ')), 204},
        Case{"ExportOverItsLimit",
             request("POST", "/rehearse", std::string(kMaxExportBody + 1, ' ')), 413},
        Case{"NoExport", request("POST", "/rehearse"), 400},
        Case{"ExportFromAnotherSite",
             withOrigin("http://evil.example", request("POST", "/rehearse", "x")), 403},
        Case{"LargeBodyBesideTheExportPath",
             request("POST", "/rehearse/x", std::string(kMaxBody + 1, ' ')), 413},
        Case{"GetRehearse", request("GET", "/rehearse"), 404},
        // Only its own assets; nothing is a file path.
        Case{"Script", request("GET", "/phone.js"), 200},
        Case{"BundleImage", request("GET", "/images/header.png"), 200},
        Case{"HeadOfAnAsset", request("HEAD", "/"), 200},
        Case{"UnknownAsset", request("GET", "/secret.txt"), 404},
        Case{"DotDot", request("GET", "/../../etc/passwd"), 404},
        Case{"DotDotIntoImages", request("GET", "/images/../phone.js"), 404},
        Case{"EncodedDotDot", request("GET", "/images/%2e%2e/header.png"), 404},
        Case{"ImageFolder", request("GET", "/images/"), 404},
        Case{"EmptyPath", request("GET", ""), 404}, Case{"Events", request("GET", "/events"), 200},
        // What the page may ask of the apps.
        Case{"UnknownApp", request("POST", "/apps/mail/input", kTap), 404},
        Case{"UnknownVerb", request("POST", "/apps/settings/quit"), 404},
        Case{"AppWithoutVerb", request("POST", "/apps/settings"), 404},
        Case{"PostToAnAsset", request("POST", "/"), 404},
        Case{"OtherMethod", request("DELETE", "/"), 405},
        Case{"NotJson", request("POST", "/apps/settings/input", "tap Ok"), 400},
        Case{"TwoEvents", request("POST", "/apps/settings/input", R"({"tap":"Ok","back":true})"),
             400},
        Case{"NotAnObject", request("POST", "/apps/settings/input", R"(["tap"])"), 400},
        // The messaging app and the home screen stop at a line they refuse:
        // only the events the page sends get through; never "terminate".
        Case{"Terminate", request("POST", "/apps/whatsapp/input", R"({"terminate":true})"), 400},
        Case{"SettingsEventToWhatsApp",
             request("POST", "/apps/whatsapp/input", R"({"settings":{}})"), 400},
        Case{"GestureToWhatsApp", request("POST", "/apps/whatsapp/input", R"({"activator":"x"})"),
             400},
        Case{"Gesture", request("POST", "/apps/springboard/input", R"({"activator":"x"})"), 204},
        Case{"Receive", request("POST", "/apps/whatsapp/input", R"({"receive":{"text":"Hi"}})"),
             204}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PhoneRequests, FeedTheAppOneLineThatRunsAtOnce) {
  struct Fed {
    const char* path;
    const char* body;
    App app;
    nlohmann::json line;
  };
  for (const Fed& fed : {
           // A clock app gets "at" 0, always due; a page's "at" does not survive.
           Fed{"/apps/whatsapp/input",
               R"({"receive":{"text":"Hi\nthere"}})",
               App::WhatsApp,
               {{"at", 0}, {"receive", {{"text", "Hi\nthere"}}}}},
           Fed{"/apps/springboard/input",
               R"({"activator":"ONN"})",
               App::SpringBoard,
               {{"at", 0}, {"activator", "ONN"}}},
           // The Settings app has no clock.
           Fed{"/apps/settings/input",
               R"({"fields":["a","b"]})",
               App::Settings,
               {{"fields", {"a", "b"}}}},
       }) {
    const Response response = handle(site(), request("POST", fed.path, fed.body));
    const auto* feed = std::get_if<effect::Feed>(&response.effect);
    ASSERT_NE(feed, nullptr) << fed.path;
    EXPECT_EQ(feed->app, fed.app);
    // One line: a line break in a text cannot split it.
    EXPECT_EQ(feed->line.find('\n'), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(feed->line), fed.line);
  }
}

TEST(PhoneRequests, RefusalsHaveNoEffect) {
  for (Request refused :
       {withHost("evil.example", request("POST", "/apps/settings/restart")),
        withOrigin("http://evil.example", request("POST", "/apps/settings/restart")),
        request("POST", "/apps/settings/restart", std::string(kMaxBody + 1, 'x')),
        request("POST", "/apps/whatsapp/input", R"({"terminate":true})")}) {
    EXPECT_TRUE(std::holds_alternative<effect::None>(handle(site(), refused).effect))
        << refused.path;
  }
}

TEST(PhoneRequests, BodiesAreRefusedFromTheirHeadersBeforeTheyAreRead) {
  const struct {
    Request request;
    std::size_t announced;
    bool chunked;
    bool refused;
  } cases[] = {
      {request("POST", "/apps/settings/input"), kMaxBody, false, false},
      {request("POST", "/apps/settings/input"), kMaxBody + 1, false, true},
      {request("POST", "/apps/settings/input"), 0, true, true},
      {request("GET", "/"), 0, false, false},
      {request("POST", "/rehearse"), kMaxExportBody, false, false},
      {request("POST", "/rehearse"), kMaxExportBody + 1, false, true},
      {request("POST", "/rehearse"), 0, true, false},
      {request("PUT", "/rehearse"), kMaxBody + 1, false, true},
  };
  for (const auto& tried : cases) {
    const auto refused = refusedUnread(tried.request, tried.announced, tried.chunked);
    EXPECT_EQ(refused.has_value(), tried.refused)
        << tried.request.method << ' ' << tried.request.path << ' ' << tried.announced;
    if (refused) {
      EXPECT_EQ(refused->status, 413);
    }
  }
}

TEST(PhoneRequests, AnExportIsRehearsedAsSentWithTheOwnerThePageNames) {
  Request sent = request("POST", "/rehearse", std::string("PK\x03\x04\0zip", 9));
  const auto rehearsal = [&] { return std::get<effect::Rehearse>(handle(site(), sent).effect); };
  EXPECT_EQ(rehearsal().exportBytes, sent.body);
  EXPECT_EQ(rehearsal().me, std::nullopt);
  sent.query["me"] = "Tom 🙂";
  EXPECT_EQ(rehearsal().me, "Tom 🙂");
  sent.query["me"] = std::string(1000, 'a');
  EXPECT_EQ(handle(site(), sent).status, 400);
}

TEST(PhoneRequests, NamedAnswers) {
  const Response restart = handle(site(), request("POST", "/apps/springboard/restart"));
  ASSERT_TRUE(std::holds_alternative<effect::Restart>(restart.effect));
  EXPECT_EQ(std::get<effect::Restart>(restart.effect).app, App::SpringBoard);
  EXPECT_TRUE(
      std::holds_alternative<effect::Stream>(handle(site(), request("GET", "/events")).effect));
  const Response script = handle(site(), request("GET", "/phone.js"));
  EXPECT_EQ(script.contentType, "text/javascript; charset=utf-8");
  EXPECT_EQ(script.body, "'use strict';");
}

}  // namespace
