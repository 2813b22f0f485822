#pragma once
// A messaging app as small as the engine needs: messages, chat sessions and a
// message notification centre, answering the host selectors with exactly the
// signatures of the host interface. Sends and launches are recorded.
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "Mornaq/host/host_interface.h"
#include "platform/foundation/value.h"
#include "platform/process/process.h"

namespace engine_test {

using platform::Id;
using Text = std::optional<std::string>;

struct ChatSpec {
  Text contactIdentifier;
  bool isGroupChat = false;
  std::int64_t sessionType = 0;
};

// A reply request as the engine posted it.
struct PostedRequest {
  std::chrono::nanoseconds at{};
  Id sender;
  platform::Dictionary userInfo;
};

// An application launch request: the identifier and whether suspended.
using Launch = std::pair<std::string, bool>;

class TestHost {
 public:
  // Defines the host's classes in the process's runtime, with UIKit's, and
  // starts recording reply requests and application launches.
  explicit TestHost(platform::Process& process);

  Id chat(ChatSpec facts);
  // A sender's address; muted ones are answered YES by the centre.
  Id jid();
  Id message(const Id& chat, Text text, const Id& fromJID = nullptr);
  // A message notification centre that reports these senders' chats muted.
  Id notificationCenter(std::vector<Id> mutedJIDs = {});

  const std::vector<PostedRequest>& requests() const { return requests_; }
  const std::vector<Launch>& launches() const { return launches_; }

 private:
  platform::Process& process_;
  std::vector<PostedRequest> requests_;
  std::vector<Launch> launches_;
};

// Writes a whole settings file under the current process's device root.
void writeSettings(std::string_view devicePath, const platform::Dictionary& settings);

// The user info of a reply request; without a chat when chat is nil.
platform::Dictionary replyRequest(const std::string& msg, const std::string& delay, const Id& chat);

}  // namespace engine_test

namespace platform {
// Failure messages show values as "%@" prints them.
inline void PrintTo(const Value& value, std::ostream* out) { *out << value.description(); }
}  // namespace platform
