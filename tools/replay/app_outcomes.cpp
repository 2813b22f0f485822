#include "tools/replay/app_outcomes.h"

#include <nlohmann/json.hpp>

namespace tools::replay {
namespace {

using nlohmann::json;

// The kind of an event line, {"t":T,"KIND":{...}}, read without parsing it:
// most lines are the add-on's log, which the rehearsal does not need.
std::string_view kindOf(std::string_view line) {
  const auto comma = line.find(",\"");
  if (comma == std::string_view::npos) return {};
  const auto start = comma + 2;
  const auto end = line.find('"', start);
  return end == std::string_view::npos ? std::string_view() : line.substr(start, end - start);
}

std::optional<AnsweredBy> answeredBy(const json& why) {
  if (!why.value("reply", false)) return std::nullopt;
  if (why.contains("rule") && !why["rule"].is_null()) return AnsweredBy::Rule;
  return why.value("path", json()) == "contact" ? AnsweredBy::ContactReply
                                                : AnsweredBy::GlobalReply;
}

std::optional<std::string> textOrNone(const json& value, std::string_view key) {
  const auto member = value.find(key);
  if (member == value.end() || !member->is_string()) return std::nullopt;
  return member->get<std::string>();
}

}  // namespace

AppOutcomes::int_type AppOutcomes::overflow(int_type byte) {
  if (traits_type::eq_int_type(byte, traits_type::eof())) return traits_type::not_eof(byte);
  const char character = traits_type::to_char_type(byte);
  xsputn(&character, 1);
  return byte;
}

std::streamsize AppOutcomes::xsputn(const char* bytes, std::streamsize count) {
  std::string_view rest(bytes, static_cast<std::size_t>(count));
  for (auto end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
    line_.append(rest.substr(0, end));
    takeLine(line_);
    line_.clear();
    rest.remove_prefix(end + 1);
  }
  line_.append(rest);
  return count;
}

Outcome& AppOutcomes::outcomeOf(std::size_t number) {
  if (number > outcomes_.size()) outcomes_.resize(number);
  return outcomes_[number - 1];
}

void AppOutcomes::takeLine(std::string_view line) {
  const auto kind = kindOf(line);
  if (kind != "received" && kind != "why" && kind != "reply") return;
  // The steps of a why and the chat of a message are not needed: left out as they are read.
  const json::parser_callback_t unneeded = [](int, json::parse_event_t event, json& parsed) {
    return event != json::parse_event_t::key || (parsed != "steps" && parsed != "chat");
  };
  const json event = json::parse(line, unneeded, false);
  if (event.is_discarded()) return;
  const json& facts = event[std::string(kind)];
  if (!facts.contains("id") || !facts["id"].is_number_unsigned()) return;
  const auto number = facts["id"].get<std::size_t>();
  if (number == 0) return;
  Outcome& outcome = outcomeOf(number);
  if (kind == "received") {
    if (received_) received_(number);
  } else if (kind == "why") {
    outcome.answeredBy = answeredBy(facts);
    outcome.stoppedBy = textOrNone(facts, "stoppedBy");
    outcome.why = facts.value("verdict", "");
  } else if (!outcome.reply && !outcome.stoppedBy) {
    // Each sender reports its own copy of a reply: the first tells.
    if (facts.value("sent", false)) {
      outcome.reply = textOrNone(facts, "text").value_or("");
      outcome.replyAt = event.value("t", 0.0);
    } else {
      outcome.stoppedBy = textOrNone(facts, "stoppedBy");
      outcome.why = textOrNone(facts, "why").value_or(outcome.why);
    }
  }
}

}  // namespace tools::replay
