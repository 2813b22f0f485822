// The phone's server and its apps, in this process: a start that fails leaves no descriptor open,
// and the wait for the server to serve has a bound.
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "tools/phone/app_process.h"
#include "tools/phone/http_server.h"

namespace {

using namespace std::chrono_literals;
using tools::phone::AppProcess;
using tools::phone::EventLog;
using tools::phone::HttpServer;

// Read with the C library: copying a std::filesystem::directory_iterator trips
// UndefinedBehaviorSanitizer's type check on libstdc++'s own shared state.
std::size_t openDescriptors() {
  DIR* listing = ::opendir("/proc/self/fd");
  std::size_t entries = 0;
  while (const dirent* entry = ::readdir(listing)) {
    if (entry->d_name[0] != '.') ++entries;
  }
  ::closedir(listing);
  return entries - 1;  // less the one the listing itself holds open
}

// Leaves the process `free` descriptors to be had, for as long as it lives: the limit goes just
// above the `free` lowest numbers not in use.
class ScarceDescriptors {
 public:
  explicit ScarceDescriptors(int free) {
    getrlimit(RLIMIT_NOFILE, &previous_);
    rlimit limit = previous_;
    for (limit.rlim_cur = 0; free > 0; ++limit.rlim_cur) {
      if (::fcntl(static_cast<int>(limit.rlim_cur), F_GETFD) == -1) --free;
    }
    setrlimit(RLIMIT_NOFILE, &limit);
  }
  ~ScarceDescriptors() { setrlimit(RLIMIT_NOFILE, &previous_); }
  ScarceDescriptors(const ScarceDescriptors&) = delete;
  ScarceDescriptors& operator=(const ScarceDescriptors&) = delete;

 private:
  rlimit previous_{};
};

nlohmann::json lastEvent(EventLog& log) {
  const auto events = log.after(0, 0ms);
  return events.empty() ? nlohmann::json() : nlohmann::json::parse(events.back().json);
}

TEST(AppProcessTest, AStartThatFailsLeavesNoDescriptorOpen) {
  const struct {
    const char* what;
    std::string program;
    std::optional<int> freeDescriptors;  // none: as many as the process may have
    const char* error;
  } cases[] = {
      {"the second pipe cannot be made", "/bin/cat", 2, "cannot make pipes: Too many open files"},
      {"the third pipe cannot be made", "/bin/cat", 4, "cannot make pipes: Too many open files"},
      {"the program is missing", "/nonexistent/app", std::nullopt,
       "cannot start: No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EventLog log;
    AppProcess app("whatsapp", {c.program}, {}, log);
    std::optional<ScarceDescriptors> scarce;
    if (c.freeDescriptors) scarce.emplace(*c.freeDescriptors);
    const std::size_t before = openDescriptors();
    app.start();
    // Counted once descriptors are plentiful again: listing them takes one.
    scarce.reset();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(lastEvent(log), (nlohmann::json{{"app", "whatsapp"}, {"err", c.error}, {"seq", 1}}));
  }
}

TEST(AppProcessTest, AnAppThatRanLeavesNoDescriptorOpenOnceStopped) {
  EventLog log;
  AppProcess app("whatsapp", {"/bin/cat"}, {"a start line"}, log);
  const std::size_t before = openDescriptors();
  app.start();
  app.feed("{\"fed\":1}");
  app.stop();
  EXPECT_EQ(openDescriptors(), before);
  EXPECT_EQ(lastEvent(log)["state"], "exited");
}

// The server as `mornaq phone` runs it: bound, then serving on a thread of its own.
TEST(HttpServerTest, TheWaitForTheServerToServeHasABound) {
  const struct {
    const char* what;
    bool bind;
    bool serve;
    bool stopFirst;
    const char* failure;  // nullptr: it serves
  } cases[] = {
      {"bound and served", true, true, false, nullptr},
      {"bound, never served", true, false, false, "did not start serving within 0.2 s"},
      {"served unbound", false, true, false, "the server stopped before it served"},
      {"stopped before it served", true, true, true, "the server stopped before it served"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EventLog log;
    HttpServer server(log, [](const tools::phone::Effect&) {});
    if (c.bind) {
      ASSERT_TRUE(server.bind(0));
    }
    if (c.stopFirst) server.stop();
    std::thread serving;
    if (c.serve) serving = std::thread([&] { server.serve({}); });
    const auto start = std::chrono::steady_clock::now();
    const auto served = server.waitUntilServing(200ms);
    const auto waited = std::chrono::steady_clock::now() - start;
    server.stop();
    if (serving.joinable()) serving.join();
    EXPECT_LT(waited, 5s);
    if (!c.failure) {
      EXPECT_TRUE(served) << served.reason();
    } else {
      ASSERT_FALSE(served);
      EXPECT_NE(served.reason().find(c.failure), std::string::npos) << served.reason();
    }
  }
}

}  // namespace
