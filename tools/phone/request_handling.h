#pragma once
// What `mornaq phone` answers to one HTTP request, decided from the request
// alone so that every rule can be tried with raw requests: only requests for
// its own loopback address and port, state changes only from its own page,
// small bodies, and only its own named assets. The answer may ask the server
// to do something besides replying (an effect): feed a line to an app,
// restart an app, or stream the apps' events.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace tools::phone {

enum class App { WhatsApp, SpringBoard, Settings };

struct Request {
  std::string method;                 // "GET", "POST", ...
  std::optional<std::string> host;    // the Host header
  std::optional<std::string> origin;  // the Origin header
  std::string path;                   // without the query
  std::string body;
};

namespace effect {
struct None {};
struct Feed {
  App app;
  std::string line;  // one JSON object, without the line break
};
struct Restart {
  App app;
};
struct Stream {};  // the answer is the stream of the apps' events
}  // namespace effect

using Effect = std::variant<effect::None, effect::Feed, effect::Restart, effect::Stream>;

struct Response {
  int status = 200;
  std::string contentType;
  std::string body;
  Effect effect = effect::None{};
};

struct Asset {
  std::string contentType;
  std::string body;
};

struct Site {
  int port = 0;                                      // the port the server listens on
  std::map<std::string, Asset, std::less<>> assets;  // by request path: "/", "/phone.js", ...
};

inline constexpr std::size_t kMaxBody = 64 * 1024;

// The server's answer to request.
Response handle(const Site& site, const Request& request);

// "whatsapp", "springboard", "settings": how the apps are named in paths and events.
const char* appName(App app);

}  // namespace tools::phone
