#include "tools/phone/http_server.h"

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

#include <fmt/format.h>

namespace tools::phone {
namespace {

using namespace std::chrono_literals;

// A quiet stream still shows the browser it is alive, and a page that went
// away is noticed, at this pace.
constexpr auto kKeepAlive = 15s;
// Each event stream holds one of these threads while it is open.
constexpr std::size_t kThreads = 16;

Request parsed(const httplib::Request& request) {
  const auto header = [&](const char* name) -> std::optional<std::string> {
    if (!request.has_header(name)) return std::nullopt;
    return request.get_header_value(name);
  };
  return {.method = request.method,
          .host = header("Host"),
          .origin = header("Origin"),
          .path = request.path,
          .query = {request.params.begin(), request.params.end()},
          .body = request.body};
}

// Before the body is read: refused when its headers say it is too large.
httplib::Server::HandlerResponse refuseLargeBodies(const httplib::Request& request,
                                                   httplib::Response& response) {
  std::size_t announced = 0;
  try {
    if (request.has_header("Content-Length")) {
      announced = std::stoull(request.get_header_value("Content-Length"));
    }
  } catch (const std::exception&) {
    announced = kMaxExportBody + 1;
  }
  const bool chunked =
      request.get_header_value("Transfer-Encoding").find("chunked") != std::string::npos;
  const auto refused = refusedUnread(parsed(request), announced, chunked);
  if (!refused) return httplib::Server::HandlerResponse::Unhandled;
  response.status = refused->status;
  response.set_content(refused->body, refused->contentType);
  return httplib::Server::HandlerResponse::Handled;
}

// Streams the events after the one the page saw last (its Last-Event-ID when
// it reconnects), as server-sent events.
void stream(EventLog& log, const httplib::Request& request, httplib::Response& response) {
  std::uint64_t last = 0;
  try {
    if (request.has_header("Last-Event-ID"))
      last = std::stoull(request.get_header_value("Last-Event-ID"));
  } catch (const std::exception&) {
    last = 0;
  }
  response.set_chunked_content_provider(
      "text/event-stream", [&log, last](std::size_t, httplib::DataSink& sink) mutable {
        const auto events = log.after(last, kKeepAlive);
        if (log.closed()) return false;
        std::string chunk = events.empty() ? ": still here\n\n" : "";
        for (const auto& event : events) {
          chunk += "id: " + std::to_string(event.seq) + "\ndata: " + event.json + "\n\n";
          last = event.seq;
        }
        return sink.write(chunk.data(), chunk.size());
      });
}

}  // namespace

HttpServer::HttpServer(EventLog& log, Perform perform, Rehearse rehearse)
    : log_(log),
      perform_(std::move(perform)),
      rehearse_(std::move(rehearse)),
      server_(std::make_unique<httplib::Server>()) {}

HttpServer::~HttpServer() = default;

platform::Result<int> HttpServer::bind(int port) {
  const int bound = port == 0 ? server_->bind_to_any_port("127.0.0.1")
                              : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
  if (bound < 0) return platform::Failure{"cannot listen on 127.0.0.1:" + std::to_string(port)};
  port_ = bound;
  return bound;
}

void HttpServer::serve(Site site) {
  {
    const std::lock_guard lock(stateMutex_);
    serving_ = port_ >= 0 && !stopped_;
    finished_ = !serving_;
    if (finished_) return;
  }
  site_ = std::move(site);
  server_->new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  // The largest body any request may have; refuseLargeBodies holds the others to theirs.
  server_->set_payload_max_length(kMaxExportBody);
  server_->set_pre_routing_handler(refuseLargeBodies);
  // The page uses nothing but its own assets, and no other site may frame it.
  server_->set_default_headers({
      {"Content-Security-Policy",
       "default-src 'self'; img-src 'self'; style-src 'self'; script-src 'self'; "
       "connect-src 'self'; frame-ancestors 'none'; form-action 'none'; base-uri 'none'"},
      {"X-Content-Type-Options", "nosniff"},
      {"Referrer-Policy", "no-referrer"},
      {"Cache-Control", "no-store"},
  });
  const auto answer = [this](const httplib::Request& request, httplib::Response& response) {
    Response answer = handle(site_, parsed(request));
    if (const auto* rehearsal = std::get_if<effect::Rehearse>(&answer.effect)) {
      answer = rehearse_ ? rehearse_(*rehearsal)
                         : Response{.status = 503,
                                    .contentType = "text/plain; charset=utf-8",
                                    .body = "this server does not rehearse exports\n",
                                    .effect = effect::None{}};
    }
    response.status = answer.status;
    if (std::holds_alternative<effect::Stream>(answer.effect)) {
      stream(log_, request, response);
      return;
    }
    if (!std::holds_alternative<effect::None>(answer.effect)) perform_(answer.effect);
    if (!answer.contentType.empty()) response.set_content(answer.body, answer.contentType);
  };
  // Every method and path goes to handle(), which alone decides.
  server_->Get(".*", answer)
      .Post(".*", answer)
      .Put(".*", answer)
      .Delete(".*", answer)
      .Patch(".*", answer)
      .Options(".*", answer);
  server_->listen_after_bind();
  const std::lock_guard lock(stateMutex_);
  finished_ = true;
}

platform::Result<> HttpServer::waitUntilServing(std::chrono::milliseconds bound) const {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!server_->is_running()) {
    {
      const std::lock_guard lock(stateMutex_);
      if (finished_) return platform::Failure{"the server stopped before it served"};
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return platform::Failure{
          fmt::format("the server on 127.0.0.1:{} did not start serving within {:g} s", port_,
                      std::chrono::duration<double>(bound).count())};
    }
    std::this_thread::sleep_for(1ms);
  }
  return {};
}

void HttpServer::stop() {
  log_.close();
  {
    const std::lock_guard lock(stateMutex_);
    stopped_ = true;
    if (!serving_) return;
  }
  // httplib stops only a server that runs: one still starting is waited for.
  while (!server_->is_running()) {
    {
      const std::lock_guard lock(stateMutex_);
      if (finished_) return;
    }
    std::this_thread::sleep_for(1ms);
  }
  server_->stop();
}

}  // namespace tools::phone
