#pragma once
// What a simulated process shows, printed with the time on its clock: its
// log lines, the alerts it presents and closes and the applications it asks
// to launch. Hosts add their own events through emit.
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "hosts/common/event_output.h"
#include "platform/process/process.h"

namespace hosts {

// A text that may be absent, as JSON: the text or null.
nlohmann::json textOrNull(std::optional<std::string_view> text);

class ProcessOutput {
 public:
  // Takes over the process's log sink and its screen's observer.
  ProcessOutput(platform::Process& process, EventOutput& out);
  // Hands the log back to the default sink and stops observing the screen.
  ~ProcessOutput();
  ProcessOutput(const ProcessOutput&) = delete;
  ProcessOutput& operator=(const ProcessOutput&) = delete;

  // One event, stamped with the seconds since the process started; a
  // readable line shows readableFacts instead of value when they are given.
  void emit(std::string_view kind, const nlohmann::json& value,
            const std::optional<std::string>& readableFacts = std::nullopt);
  // The same for an event that only programs read (JSON output alone).
  void emitForPrograms(std::string_view kind, const nlohmann::json& value);

 private:
  double seconds() const;

  platform::Process& process_;
  EventOutput& out_;
};

}  // namespace hosts
