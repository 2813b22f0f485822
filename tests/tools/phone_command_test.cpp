// `mornaq phone` as a running program, reached over real sockets: the door's
// rules on raw requests, the relay from a request to an app and back as an
// event, and a clean stop on SIGTERM. Also the Settings app run live, as the
// phone runs it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/tools/command_fixture.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

class PhoneCommand : public tools_test::CommandTest {
 protected:
  PhoneCommand() {
    EXPECT_EQ(tools_test::runMornaq({"install", "--root", root}, "", folder).status, 0);
  }
};

// Sends raw to 127.0.0.1:port and reads the answer until the server closes
// the connection, the answer holds every text of until, or 10 s pass.
std::string exchange(int port, const std::string& raw, const std::vector<std::string>& until = {}) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  timeval timeout{.tv_sec = 10, .tv_usec = 0};
  ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::send(socket, raw.data(), raw.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(raw.size())) {
    char buffer[4096];
    for (ssize_t got; (got = ::recv(socket, buffer, sizeof buffer, 0)) > 0;) {
      answer.append(buffer, static_cast<std::size_t>(got));
      if (!until.empty() && std::all_of(until.begin(), until.end(), [&](const std::string& text) {
            return answer.find(text) != std::string::npos;
          })) {
        break;
      }
    }
  }
  ::close(socket);
  return answer;
}

// "HTTP/1.1 421 ..." gives 421; 0 for no answer.
int statusOf(const std::string& answer) {
  std::smatch status;
  if (!std::regex_search(answer, status, std::regex("^HTTP/1\\.[01] (\\d{3})"))) return 0;
  return std::stoi(status[1]);
}

// Whether a process still runs with text in its command line.
bool anyProcessMentions(const std::string& text) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream cmdline(entry.path() / "cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(cmdline)), {});
    if (entry.path().filename() != std::to_string(::getpid()) &&
        line.find(text) != std::string::npos) {
      return true;
    }
  }
  return false;
}

TEST_F(PhoneCommand, AnswersOnlyItsOwnRequestsRelaysTheAppsAndStopsCleanly) {
  tools_test::LiveCommand phone({"phone", "--root", root, "--port", "0"}, folder / "err");
  ASSERT_TRUE(phone.waitForLine("Mornaq phone"));
  std::smatch url;
  ASSERT_TRUE(std::regex_match(phone.lines()[0], url,
                               std::regex(R"(Mornaq phone at http://127\.0\.0\.1:(\d+)/)")))
      << phone.lines()[0];
  const int port = std::stoi(url[1]);
  const std::string host = "Host: 127.0.0.1:" + url[1].str() + "\r\n";
  const std::string close = "Connection: close\r\n";
  const auto post = [&](const std::string& path, const std::string& headers,
                        const std::string& body) {
    return "POST " + path + " HTTP/1.1\r\n" + host + close + headers +
           "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
  };

  struct Case {
    const char* what;
    std::string raw;
    int status;
  };
  for (const Case& c : {
           Case{"the page", "GET / HTTP/1.1\r\n" + host + close + "\r\n", 200},
           Case{"a bundle image", "GET /images/header.png HTTP/1.1\r\n" + host + close + "\r\n",
                200},
           Case{"another name for it",
                "GET / HTTP/1.1\r\nHost: localhost:" + url[1].str() + "\r\n" + close + "\r\n", 421},
           Case{"a rebound name", "GET / HTTP/1.1\r\nHost: evil.example\r\n" + close + "\r\n", 421},
           Case{"no Host", "GET / HTTP/1.0\r\n\r\n", 421},
           Case{"a path out of the assets",
                "GET /../../etc/passwd HTTP/1.1\r\n" + host + close + "\r\n", 404},
           Case{"an encoded one",
                "GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n" + host + close + "\r\n", 404},
           Case{"a page of another site",
                post("/apps/settings/input", "Origin: http://evil.example\r\n", R"({"show":true})"),
                403},
           Case{"a body over 64 KiB",
                post("/apps/settings/input", "", std::string(64 * 1024 + 1, ' ')), 413},
           Case{"an action", post("/apps/settings/input", "", R"({"show":true})"), 204},
       }) {
    EXPECT_EQ(statusOf(exchange(port, c.raw)), c.status) << c.what;
  }

  // What was fed and what the app printed come back as events, in order.
  const std::string events = exchange(port, "GET /events HTTP/1.1\r\n" + host + "\r\n",
                                      {R"("in":{"show":true})", R"("title":"Mornaq")"});
  EXPECT_THAT(events, HasSubstr("text/event-stream"));
  for (const char* app : {"whatsapp", "springboard", "settings"}) {
    EXPECT_THAT(events, HasSubstr(std::string(R"({"app":")") + app + R"(","seq")")) << app;
  }
  EXPECT_THAT(events, HasSubstr(R"("title":"Mornaq")"));
  EXPECT_THAT(events, HasSubstr(R"("in":{"show":true})"));

  phone.signal(SIGTERM);
  EXPECT_EQ(phone.finish(), 0);
  EXPECT_FALSE(anyProcessMentions(root.string())) << "an app outlived the server";
}

// Live, each line acts as it arrives, and a line that fails is reported
// without ending the run.
TEST_F(PhoneCommand, SettingsLiveActsLineByLineAndGoesOnAfterAFailure) {
  tools_test::LiveCommand settings({"settings", "--root", root, "--json", "--live"},
                                   folder / "err");
  ASSERT_TRUE(settings.waitForLine(R"("title":"Mornaq")"));
  settings.send("{\"alert\":\"Ok\"}\n");
  ASSERT_TRUE(settings.waitForLine(R"({"dismiss")"));
  settings.send("{\"tap\":\"Nowhere\"}\nnot json\n{\"tap\":\"Global Reply\"}\n");
  ASSERT_TRUE(settings.waitForLine(R"("title":"Global Reply")"));
  EXPECT_EQ(settings.finish(), 2);
  EXPECT_EQ(tools_test::readFile(folder / "err"),
            "line 2: no row titled \"Nowhere\" on this page\n"
            "line 3: not a JSON object with one action\n");
}

}  // namespace
