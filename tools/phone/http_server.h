#pragma once
// The HTTP side of `mornaq phone`: cpp-httplib on 127.0.0.1, every request
// answered by handle() (request_handling.h) and its effect carried out on the
// apps or as the event stream.
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/foundation/result.h"
#include "tools/phone/event_log.h"
#include "tools/phone/request_handling.h"

namespace httplib {
class Server;
}

namespace tools::phone {

// Carries out a Feed or Restart effect.
using Perform = std::function<void(const Effect& effect)>;
// Rehearses an export and gives the answer.
using Rehearse = std::function<Response(const effect::Rehearse& rehearsal)>;

class HttpServer {
 public:
  // Without rehearse, POST /rehearse is answered 503.
  HttpServer(EventLog& log, Perform perform, Rehearse rehearse = {});
  ~HttpServer();

  // Binds 127.0.0.1:port (0: a free port); gives the port bound.
  platform::Result<int> bind(int port);
  // Serves site until stop(), on the calling thread; returns at once when the server is not
  // bound or was stopped already.
  void serve(Site site);
  // Waits until serve() serves, for at most bound; fails, saying so, when it stopped first or
  // did not start in time.
  platform::Result<> waitUntilServing(std::chrono::milliseconds bound) const;
  // Ends serve(), whenever it is called: before serve() starts, while it starts, or while it
  // serves.
  void stop();

 private:
  EventLog& log_;
  Perform perform_;
  Rehearse rehearse_;
  Site site_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = -1;  // once bound
  mutable std::mutex stateMutex_;
  bool stopped_ = false;
  bool serving_ = false;  // serve() went on to listen
  bool finished_ = false;
};

}  // namespace tools::phone
