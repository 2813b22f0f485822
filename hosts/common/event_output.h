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

// The compact JSON text of a value (json or ordered_json, whose order it keeps). Texts come from
// files and messages and need not be valid UTF-8: each byte that is not is written as U+FFFD, so
// printing never fails on what a file holds.
template <class Json>
std::string jsonText(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

class EventOutput {
 public:
  enum class Format { Readable, Json };

  EventOutput(std::ostream& out, Format format) : out_(out), format_(format) {}

  // One event: kind names it ("log", "sent", "alert", ...), value holds its facts.
  // A readable line shows readableFacts instead of value when they are given.
  // Safe to call from any thread; lines never interleave.
  void emit(std::optional<double> seconds, std::string_view kind, const nlohmann::json& value,
            const std::optional<std::string>& readableFacts = std::nullopt);
  // An event for programs: printed as JSON, left out of readable output,
  // whose lines stay as a person has always read them.
  void emitForPrograms(std::optional<double> seconds, std::string_view kind,
                       const nlohmann::json& value);

 private:
  std::string readable(std::optional<double> seconds, std::string_view kind,
                       const nlohmann::json& value,
                       const std::optional<std::string>& readableFacts) const;

  std::mutex mutex_;
  std::ostream& out_;
  Format format_;
};

}  // namespace hosts
