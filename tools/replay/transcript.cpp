#include "tools/replay/transcript.h"

#include <fmt/format.h>

#include <algorithm>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "hosts/common/event_output.h"
#include "tools/replay/chat_summary.h"
#include "tools/replay/timeline.h"

namespace tools::replay {
namespace {

using nlohmann::ordered_json;

// How much of a text a transcript line shows, in characters.
constexpr std::size_t kShownCharacters = 72;
constexpr std::size_t kWidestAuthor = 20;
constexpr std::string_view kLineBreak = " ⏎ ";

constexpr std::string_view kDim = "\x1b[2m";
constexpr std::string_view kGreen = "\x1b[32m";
constexpr std::string_view kYellow = "\x1b[33m";
constexpr std::string_view kPlain = "\x1b[0m";

bool isContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

std::size_t characters(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char byte) { return !isContinuationByte(byte); }));
}

// text on one line, its line breaks shown, cut to kShownCharacters.
std::string oneLine(std::string_view text) {
  std::string line;
  std::size_t shown = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!isContinuationByte(text[at]) && ++shown > kShownCharacters) return line + "…";
    if (text[at] == '\n') {
      line += kLineBreak;
    } else if (text[at] != '\r') {
      line += text[at];
    }
  }
  return line;
}

std::string padded(std::string_view text, std::size_t width) {
  const std::size_t length = characters(text);
  return std::string(text) + std::string(width > length ? width - length : 0, ' ');
}

// "2021-01-01 09:00:05", the date left out when it is day's.
std::string shownTime(const LocalDateTime& time, const LocalDateTime* day = nullptr) {
  if (day && day->year == time.year && day->month == time.month && day->day == time.day) {
    return fmt::format("{:02}:{:02}:{:02}", time.hour, time.minute, time.second);
  }
  return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", time.year, time.month, time.day,
                     time.hour, time.minute, time.second);
}

LocalDateTime replyTime(const Rehearsal& rehearsal, const Outcome& outcome) {
  return localDateTime({rehearsal.start.secondsSinceReferenceDate + outcome.replyAt});
}

std::string answeredByName(AnsweredBy by) {
  switch (by) {
    case AnsweredBy::Rule:
      return "rule";
    case AnsweredBy::ContactReply:
      return "contact's reply";
    case AnsweredBy::GlobalReply:
      return "global reply";
  }
  return "";
}

// Prints as a person reads it.
class ReadableTranscript {
 public:
  ReadableTranscript(std::ostream& out, bool colour, const ExportOverview& overview)
      : out_(out), colour_(colour) {
    for (const auto& author : overview.authors) {
      authorWidth_ = std::max(authorWidth_, std::min(characters(author), kWidestAuthor));
    }
  }

  void heading(const ChatExport& chat, const ChatRoles& roles) {
    const ReplayChat& contact = roles.chat;
    const std::string who = contact.group               ? "a group chat"
                            : contact.contactIdentifier ? "in your address book"
                                                        : "not in your address book";
    out_ << fmt::format("{}: {} ({}); you are {}\n\n", chat.file().path().filename().string(),
                        contact.displayName, who, roles.owner.empty() ? "not in it" : roles.owner);
  }

  void ownersMessage(const ExportedMessage& message) {
    out_ << coloured(kDim, fmt::format("{}  {}  {}", shownTime(message.time),
                                       padded("You", authorWidth_), shownText(message)))
         << '\n';
  }

  void contactsMessage(const ExportedMessage& message, const Outcome& outcome,
                       const Rehearsal& rehearsal) {
    out_ << fmt::format("{}  {}  {}\n", shownTime(message.time),
                        padded(oneLine(message.author), authorWidth_), shownText(message));
    const std::string indent(shownTime(message.time).size() + authorWidth_ + 4, ' ');
    if (outcome.reply) {
      const auto at = replyTime(rehearsal, outcome);
      out_ << indent
           << coloured(kGreen, fmt::format("→ {}  {}", shownTime(at, &message.time),
                                           oneLine(*outcome.reply)))
           << '\n';
    } else if (outcome.stoppedBy && isReplyPolicy(*outcome.stoppedBy)) {
      out_ << indent << coloured(kYellow, "✗ " + outcome.why) << '\n';
    } else {
      out_ << indent << "· " << outcome.why << '\n';
    }
  }

  void summary(const ChatSummary& summary, const ChatRoles& roles, bool switchOnOnPhone) {
    out_ << '\n' << roles.chat.displayName << '\n';
    std::vector<std::string> by;
    for (const auto& [answeredBy, count] : summary.answeredBy) {
      by.push_back(fmt::format("{} {}", answeredByName(answeredBy), count));
    }
    row("received", summary.received, {});
    row("answered", summary.answered, by);
    std::vector<std::string> heldBack;
    std::vector<std::string> notAnswered;
    std::size_t held = 0;
    std::size_t unanswered = 0;
    for (const auto step : stepsInRoadOrder()) {
      const auto found = summary.stoppedBy.find(step);
      if (found == summary.stoppedBy.end()) continue;
      const bool policy = isReplyPolicy(step);
      (policy ? heldBack : notAnswered).push_back(fmt::format("{} {}", step, found->second));
      (policy ? held : unanswered) += found->second;
    }
    row("held back", held, heldBack);
    row("not answered", unanswered, notAnswered);
    if (roles.chat.group) {
      out_ << "  " << roles.chat.displayName
           << " is a group chat: Mornaq never answers group chats.\n";
    }
    if (!switchOnOnPhone) {
      out_ << "  Mornaq is switched off on this phone; the rehearsal took it as on.\n";
    }
  }

 private:
  std::string coloured(std::string_view colour, const std::string& text) const {
    return colour_ ? fmt::format("{}{}{}", colour, text, kPlain) : text;
  }

  void row(std::string_view name, std::size_t count, const std::vector<std::string>& parts) {
    out_ << fmt::format("  {:<13}{:>6}", name, count);
    if (!parts.empty()) out_ << fmt::format("  ({})", fmt::join(parts, ", "));
    out_ << '\n';
  }

  static std::string shownText(const ExportedMessage& message) {
    return message.text ? oneLine(*message.text) : "(no text)";
  }

  std::ostream& out_;
  bool colour_;
  std::size_t authorWidth_ = 3;  // "You"
};

ordered_json textOrNull(const std::optional<std::string>& text) {
  return text ? ordered_json(*text) : ordered_json();
}

ordered_json messageObject(const ExportedMessage& message, bool fromOwner) {
  return {{"time", isoText(message.time)},
          {"from", message.author},
          {"you", fromOwner},
          {"text", textOrNull(message.text)}};
}

ordered_json contactsMessageObject(const ExportedMessage& message, const Outcome& outcome,
                                   const Rehearsal& rehearsal) {
  ordered_json object = messageObject(message, false);
  object["reply"] = outcome.reply ? ordered_json{{"text", *outcome.reply},
                                                 {"at", isoText(replyTime(rehearsal, outcome))}}
                                  : ordered_json();
  object["stoppedBy"] = textOrNull(outcome.stoppedBy);
  object["why"] = outcome.why;
  return object;
}

ordered_json summaryObject(const ChatSummary& summary, const ChatRoles& roles) {
  ordered_json stoppedBy = ordered_json::object();
  for (const auto step : stepsInRoadOrder()) {
    if (const auto found = summary.stoppedBy.find(step); found != summary.stoppedBy.end()) {
      stoppedBy[std::string(step)] = found->second;
    }
  }
  return {{"summary",
           {{"chat", roles.chat.displayName},
            {"received", summary.received},
            {"answered", summary.answered},
            {"stoppedBy", stoppedBy}}}};
}

}  // namespace

platform::Result<> printTranscript(std::ostream& out, const TranscriptFormat& format,
                                   const ChatExport& chat, const ChatRoles& roles,
                                   const Rehearsal& rehearsal) {
  ReadableTranscript readable(out, format.colour, chat.overview());
  if (!format.json) readable.heading(chat, roles);
  ChatSummary summary;
  Timeline timeline(roles);  // tells the owner's messages as the rehearsal did
  std::size_t received = 0;
  const Outcome none;
  PLATFORM_TRY(chat.forEachMessage([&](const ExportedMessage& message) {
    const bool fromOwner = !timeline.next(message).contains("receive");
    if (fromOwner) {
      if (format.json) {
        out << hosts::jsonText(messageObject(message, true)) << '\n';
      } else {
        readable.ownersMessage(message);
      }
      return;
    }
    const Outcome& outcome =
        received < rehearsal.outcomes.size() ? rehearsal.outcomes[received] : none;
    ++received;
    summary.count(outcome);
    if (format.json) {
      out << hosts::jsonText(contactsMessageObject(message, outcome, rehearsal)) << '\n';
    } else {
      readable.contactsMessage(message, outcome, rehearsal);
    }
  }));
  if (format.json) {
    out << hosts::jsonText(summaryObject(summary, roles)) << '\n';
  } else {
    readable.summary(summary, roles, rehearsal.switchOnOnPhone);
  }
  return {};
}

}  // namespace tools::replay
