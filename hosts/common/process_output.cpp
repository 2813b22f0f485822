#include "hosts/common/process_output.h"

#include <chrono>

#include "platform/dispatch/main_queue.h"
#include "platform/uikit/uikit.h"

namespace hosts {
namespace {

namespace uikit = platform::uikit;

nlohmann::json alertFacts(const uikit::UIAlertController& alert) {
  nlohmann::json buttons = nlohmann::json::array();
  for (const auto& action : alert.actions()) buttons.push_back(action.title);
  return {{"title", textOrNull(alert.title())},
          {"message", textOrNull(alert.message())},
          {"buttons", buttons}};
}

}  // namespace

nlohmann::json textOrNull(std::optional<std::string_view> text) {
  return text ? nlohmann::json(*text) : nlohmann::json();
}

ProcessOutput::ProcessOutput(platform::Process& process, EventOutput& out)
    : process_(process), out_(out) {
  process.setLogSink([this](std::string_view line) { emit("log", line); });
  process.state<uikit::Screen>().setObserver({
      .presented =
          [this](const uikit::UIAlertController& alert) { emit("alert", alertFacts(alert)); },
      .dismissed =
          [this](const uikit::UIAlertController& alert) {
            emit("dismiss", {{"title", alertFacts(alert)["title"]}});
          },
      .launched =
          [this](const std::string& identifier, bool suspended) {
            emit("launch", {{"identifier", identifier}, {"suspended", suspended}});
          },
      .openedURL = {},
  });
}

ProcessOutput::~ProcessOutput() {
  process_.setLogSink({});
  process_.state<uikit::Screen>().setObserver({});
}

void ProcessOutput::emit(std::string_view kind, const nlohmann::json& value,
                         const std::optional<std::string>& readableFacts) {
  out_.emit(seconds(), kind, value, readableFacts);
}

void ProcessOutput::emitForPrograms(std::string_view kind, const nlohmann::json& value) {
  out_.emitForPrograms(seconds(), kind, value);
}

double ProcessOutput::seconds() const {
  return std::chrono::duration<double>(process_.mainQueue().now()).count();
}

}  // namespace hosts
