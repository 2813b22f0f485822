#pragma once
// The dry run behind `mornaq explain`: what the messaging app would do with
// one received message if it had started now on a device root. It reads the
// two settings files as the app does (a missing MainSettings as the seed file
// that seeding would copy there), takes the master switch as it is now for
// the sender's observers too, and runs the add-on's own decision steps at
// once instead of on timers, the reply policies with the reply history. It
// sends, queues and writes nothing.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "hosts/whatsapp/received_message.h"
#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/process/process.h"

namespace tools {

class Explainer {
 public:
  // The messaging app's classes and objects in a process of its own on root,
  // without any hook library: nothing of the add-on runs but the decision.
  // at: the phone's date the message arrives at; none: the system's date as
  // each message is explained.
  Explainer(const std::filesystem::path& root, const std::string& version,
            std::optional<platform::Date> at = std::nullopt);
  ~Explainer();
  Explainer(const Explainer&) = delete;
  Explainer& operator=(const Explainer&) = delete;

  // The answer for one message, with the files read afresh: the add-on's
  // record of the message's road, as JSON (see docs/command.md).
  nlohmann::json explain(const hosts::whatsapp::Received& message);

 private:
  platform::Process process_;
  std::optional<platform::Date> at_;
  std::unique_ptr<hosts::whatsapp::WhatsAppApp> app_;
};

// The same answer as lines a person reads: the verdict, then every step.
std::string readableAnswer(const nlohmann::json& answer);

}  // namespace tools
