#pragma once
// The simulated messaging app with the hook library's load sequence run
// in-process, in a fresh process with its own device root and virtual clock.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/foundation/value.h"
#include "tests/support/add_on_reports.h"
#include "tests/support/test_process.h"

namespace hooks_test {

using hosts::whatsapp::Chat;
using platform::Dictionary;
using platform::Id;
using std::chrono::seconds;

struct Sent {
  std::chrono::nanoseconds at;
  Chat chat;
  std::string text;
};

inline const Chat kAnn{.contactIdentifier = "ann:ABPerson", .displayName = "Ann"};

class HooksTest : public testing::Test {
 protected:
  // Merges values into MainSettings, as a settings page would.
  void writeSettings(const Dictionary& values);
  Dictionary mainSettings();

  // Starts the app: its classes, the hook library's load sequence, then its
  // notification centre and chat manager.
  void start(const std::string& version = hosts::whatsapp::kDefaultVersion);

  // A reply request as the engine posts it; no "ChatSession" for a nil chat.
  void postReplyRequest(platform::Value msg, platform::Value delay, const Id& chat);

  testing_support::TestProcess process{"net.whatsapp.WhatsApp"};
  // What the add-on reports; its log lines are pinned by the messaging app's
  // transcript (tests/tools/transcripts/whatsapp.transcript).
  testing_support::AddOnReports reports;
  std::unique_ptr<hosts::whatsapp::WhatsAppApp> app;
  std::vector<Sent> sent;
};

}  // namespace hooks_test
