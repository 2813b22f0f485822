#pragma once
// What a simulated app prints: one event a line, either as a JSON object
// ({"t":3.0,"log":"..."}) or as a readable line ("   3.000s  log   ..."). The
// time is optional: the Settings app's output has none.
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace hosts {

// The compact JSON text of a value. Texts come from files and messages and need not be valid
// UTF-8: each byte that is not is written as U+FFFD, so printing never fails on what a file holds.
std::string jsonText(const nlohmann::json& value);

class EventOutput {
 public:
  enum class Format { Readable, Json };

  EventOutput(std::ostream& out, Format format) : out_(out), format_(format) {}

  // One event: kind names it ("log", "sent", "alert", ...), value holds its facts.
  // A readable line shows readableFacts instead of value when they are given.
  // Safe to call from any thread; lines never interleave.
  void emit(std::optional<double> seconds, std::string_view kind, const nlohmann::json& value,
            const std::optional<std::string>& readableFacts = std::nullopt);

 private:
  std::string readable(std::optional<double> seconds, std::string_view kind,
                       const nlohmann::json& value,
                       const std::optional<std::string>& readableFacts) const;

  std::mutex mutex_;
  std::ostream& out_;
  Format format_;
};

}  // namespace hosts
