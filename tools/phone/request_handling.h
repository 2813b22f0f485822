#pragma once
// What `mornaq phone` answers to one HTTP request, decided from the request
// alone so that every rule can be tried with raw requests: only requests for
// its own loopback address and port, state changes only from its own page,
// small bodies (but for the one request that carries a chat export), and only
// its own named assets. The answer may ask the server to do something besides
// replying (an effect): feed a line to an app, restart an app, stream the
// apps' events, or rehearse an export and answer with what Mornaq would do.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace tools::phone {

enum class App { WhatsApp, SpringBoard, Settings };

struct Request {
  std::string method;                                     // "GET", "POST", ...
  std::optional<std::string> host;                        // the Host header
  std::optional<std::string> origin;                      // the Origin header
  std::string path;                                       // without the query
  std::map<std::string, std::string, std::less<>> query;  // its parameters, decoded
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
// The answer is what `mornaq replay --json` says of the export: its bytes,
// and the owner's name when the page gives it (`--me`).
struct Rehearse {
  std::string exportBytes;
  std::optional<std::string> me;
};
}  // namespace effect

using Effect =
    std::variant<effect::None, effect::Feed, effect::Restart, effect::Stream, effect::Rehearse>;

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
// The body of POST /rehearse: a chat export, its text or its .zip.
inline constexpr std::size_t kMaxExportBody = 32 * 1024 * 1024;

// The most request's body may hold, decided from its method and path alone,
// so that the server can refuse a larger one before reading it.
std::size_t bodyLimit(const Request& request);

// The answer to a request whose body is yet to be read, when its headers
// already refuse it: a body announced (Content-Length) larger than its limit,
// or one of untold length (chunked) where the limit is kMaxBody.
std::optional<Response> refusedUnread(const Request& request, std::size_t announcedLength,
                                      bool chunked);

// The server's answer to request.
Response handle(const Site& site, const Request& request);

// "whatsapp", "springboard", "settings": how the apps are named in paths and events.
const char* appName(App app);

}  // namespace tools::phone
