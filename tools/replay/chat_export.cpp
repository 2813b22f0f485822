#include "tools/replay/chat_export.h"

#include <fmt/format.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

#include "tools/replay/export_entries.h"
#include "tools/replay/message_content.h"
#include "tools/replay/text_marks.h"

namespace tools::replay {
namespace {

using platform::Failure;
using platform::Result;

// A line quoted in a failure: its first 60 characters.
std::string quoted(std::string_view line) {
  constexpr std::int32_t kMostCharacters = 60;
  const auto length = static_cast<std::int32_t>(line.size());
  std::int32_t end = 0;
  U8_FWD_N(line.data(), end, length, kMostCharacters);
  return fmt::format("\"{}{}\"", line.substr(0, static_cast<std::size_t>(end)),
                     end < length ? "…" : "");
}

// What the first pass over an export learns.
class Survey {
 public:
  void see(const ExportEntry& entry) {
    anyEntry_ = true;
    dates_.see(entry.date, entry.line);
    if (entry.author.empty()) return;
    if (!readContent(entry.text).isMessage) {
      // The phone writes its own lines under the chat's name.
      if (!chatNameInLines_) chatNameInLines_ = entry.author;
      return;
    }
    ++overview_.messages;
    noteAuthor(entry.author);
  }

  void seeStray(std::size_t line, std::string_view text) {
    if (firstStray_ || trimmed(text).empty()) return;
    firstStray_ = fmt::format("line {} starts with no date and time: {}", line, quoted(text));
  }

  // The overview, or what keeps the file from being read as an export.
  Result<ExportOverview> overview(std::optional<DateOrder> preferred,
                                  std::optional<std::string> chatNameOfFile) && {
    if (!anyEntry_) {
      return Failure{
          fmt::format("not a chat export: {}", firstStray_.value_or("the file is empty"))};
    }
    auto order = dates_.decide(preferred);
    if (!order) return order.failure();
    overview_.dateOrder = *order;
    overview_.chatName = chatNameOfFile ? std::move(chatNameOfFile) : std::move(chatNameInLines_);
    return std::move(overview_);
  }

 private:
  void noteAuthor(const std::string& author) {
    auto& authors = overview_.authors;
    if (std::find(authors.begin(), authors.end(), author) != authors.end()) return;
    if (authors.size() < kNamedAuthors) {
      authors.push_back(author);
    } else {
      overview_.moreAuthors = true;
    }
  }

  ExportOverview overview_;
  DateOrderEvidence dates_;
  bool anyEntry_ = false;
  std::optional<std::string> firstStray_;
  std::optional<std::string> chatNameInLines_;
};

// Fills message from entry, its date read in order; false when it does not read so.
bool fill(ExportedMessage& message, const ExportEntry& entry, std::optional<std::string_view> text,
          DateOrder order) {
  const auto date = readDate(entry.date, order);
  if (!date) return false;
  message.line = entry.line;
  message.time = {static_cast<int>(date->year()),
                  static_cast<int>(static_cast<unsigned>(date->month())),
                  static_cast<int>(static_cast<unsigned>(date->day())),
                  entry.time.hour,
                  entry.time.minute,
                  entry.time.second};
  message.author = entry.author;
  message.text = text;
  return true;
}

}  // namespace

std::string isoText(const LocalDateTime& time) {
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", time.year, time.month, time.day,
                     time.hour, time.minute, time.second);
}

Result<ChatExport> ChatExport::open(const std::filesystem::path& path,
                                    std::optional<DateOrder> preferred) {
  auto file = ExportFile::open(path);
  if (!file) return file.failure();
  Survey survey;
  const auto read = forEachEntry(
      *file, {.entry = [&survey](const ExportEntry& entry) { survey.see(entry); },
              .stray = [&survey](std::size_t line,
                                 std::string_view text) { survey.seeStray(line, text); }});
  if (!read) return read.failure();
  auto overview = std::move(survey).overview(preferred, file->chatName());
  if (!overview) return Failure{fmt::format("{}: {}", path.string(), overview.reason())};
  return ChatExport(std::move(*file), std::move(*overview));
}

Result<> ChatExport::forEachMessage(
    const std::function<void(const ExportedMessage& message)>& visit) const {
  ExportedMessage message;  // reused, so that its strings keep the room they grew to
  bool changed = false;
  const auto each = [&](const ExportEntry& entry) {
    if (entry.author.empty() || changed) return;
    const auto content = readContent(entry.text);
    if (!content.isMessage) return;
    // Every date read in this order when the file was opened.
    changed = !fill(message, entry, content.text, overview_.dateOrder.order);
    if (!changed) visit(message);
  };
  const auto read =
      forEachEntry(file_, {.entry = each, .stray = [](std::size_t, std::string_view) {}});
  if (!read) return read;
  if (changed) return Failure{fmt::format("{}: changed while it was read", file_.path().string())};
  return {};
}

}  // namespace tools::replay
