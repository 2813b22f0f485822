#include "hosts/common/event_output.h"

#include <fmt/format.h>

namespace hosts {
namespace {

// Texts print as they are; everything else in its compact JSON form.
std::string plain(const nlohmann::json& value) {
  return value.is_string() ? value.get<std::string>() : jsonText(value);
}

// Multi-line texts keep their shape under the event's column.
std::string indentContinuation(std::string text) {
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    text.insert(at + 1, std::string(18, ' '));
  }
  return text;
}

}  // namespace

void EventOutput::emit(std::optional<double> seconds, std::string_view kind,
                       const nlohmann::json& value,
                       const std::optional<std::string>& readableFacts) {
  std::string line;
  if (format_ == Format::Json) {
    nlohmann::ordered_json event;
    if (seconds) event["t"] = *seconds;
    event[std::string(kind)] = value;
    line = jsonText(event);
  } else {
    line = readable(seconds, kind, value, readableFacts);
  }
  std::lock_guard lock(mutex_);
  out_ << line << '\n' << std::flush;
}

void EventOutput::emitForPrograms(std::optional<double> seconds, std::string_view kind,
                                  const nlohmann::json& value) {
  if (format_ == Format::Json) emit(seconds, kind, value);
}

std::string EventOutput::readable(std::optional<double> seconds, std::string_view kind,
                                  const nlohmann::json& value,
                                  const std::optional<std::string>& readableFacts) const {
  std::string facts;
  if (readableFacts) {
    facts = *readableFacts;
  } else if (value.is_object()) {
    for (const auto& [name, member] : value.items()) {
      if (!facts.empty()) facts += "  ";
      facts += fmt::format("{}: {}", name, plain(member));
    }
  } else {
    facts = plain(value);
  }
  const std::string time = seconds ? fmt::format("{:8.3f}s", *seconds) : std::string(9, ' ');
  // A kind as wide as its column still keeps one blank before the facts.
  const std::string column =
      kind.size() < 8 ? fmt::format("{:<8}", kind) : fmt::format("{} ", kind);
  return fmt::format("{} {}{}", time, column, indentContinuation(facts));
}

}  // namespace hosts
