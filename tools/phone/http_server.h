#pragma once
// The HTTP side of `mornaq phone`: cpp-httplib on 127.0.0.1, every request
// answered by handle() (request_handling.h) and its effect carried out on the
// apps or as the event stream.
#include <functional>
#include <memory>

#include "platform/foundation/result.h"
#include "tools/phone/event_log.h"
#include "tools/phone/request_handling.h"

namespace httplib {
class Server;
}

namespace tools::phone {

// Carries out a Feed or Restart effect.
using Perform = std::function<void(const Effect& effect)>;

class HttpServer {
 public:
  HttpServer(EventLog& log, Perform perform);
  ~HttpServer();

  // Binds 127.0.0.1:port (0: a free port); gives the port bound.
  platform::Result<int> bind(int port);
  // Serves site until stop(); call after bind.
  void serve(Site site);
  void stop();
  bool running() const;

 private:
  EventLog& log_;
  Perform perform_;
  Site site_;
  std::unique_ptr<httplib::Server> server_;
};

}  // namespace tools::phone
