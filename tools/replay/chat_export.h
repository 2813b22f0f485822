#pragma once
// A chat exported from the messaging app, read as the app writes it (the
// shapes of its lines: line_start.h; what a text stands for:
// message_content.h, app_phrases.h; the file or .zip: export_file.h).
// It is read twice: once, when opened, to see every date (their order is
// decided from the whole file) and the authors; then as often as asked, to
// hand out its messages one at a time. What it holds at once is bounded by
// its longest message, not by the file.
#include <compare>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/result.h"
#include "tools/replay/date_order.h"
#include "tools/replay/export_file.h"

namespace tools::replay {

// A date and time on the exporting phone's clock, as the export writes it.
struct LocalDateTime {
  int year, month, day, hour, minute, second;
  auto operator<=>(const LocalDateTime&) const = default;
};

// "YYYY-MM-DDTHH:MM:SS", as `mornaq whatsapp --start` takes it.
std::string isoText(const LocalDateTime& time);

struct ExportedMessage {
  std::size_t line = 0;  // where it starts in the export, from 1
  LocalDateTime time{};
  std::string author;  // without the white space and marks around it
  // Its text; none for an attachment without a caption and for a deleted message.
  std::optional<std::string> text;
};

struct ExportOverview {
  DateOrderChoice dateOrder;
  // The authors of its messages, each once, in the order they first wrote;
  // at most kNamedAuthors of them.
  std::vector<std::string> authors;
  bool moreAuthors = false;  // more wrote than are named
  // The chat's name: from the file's name ("WhatsApp Chat with Ann Lee"),
  // else from the lines the phone writes under it; none when neither names it.
  std::optional<std::string> chatName;
  std::size_t messages = 0;
};

inline constexpr std::size_t kNamedAuthors = 16;

class ChatExport {
 public:
  // Reads the export at path once through. preferred is the user's date
  // order (`--date-order`), taken when the dates allow it. Fails, naming the
  // file, when it cannot be read, is a damaged .zip, is no chat export (no
  // line starts with a date and a time: the failure quotes its first line)
  // or its dates read in no one order.
  static platform::Result<ChatExport> open(const std::filesystem::path& path,
                                           std::optional<DateOrder> preferred = std::nullopt);

  const ExportFile& file() const { return file_; }
  const ExportOverview& overview() const { return overview_; }

  // Reads it again, handing visit its messages in the export's order (times
  // that go back included), without the app's own lines.
  platform::Result<> forEachMessage(
      const std::function<void(const ExportedMessage& message)>& visit) const;

 private:
  ChatExport(ExportFile file, ExportOverview overview)
      : file_(std::move(file)), overview_(std::move(overview)) {}

  ExportFile file_;
  ExportOverview overview_;
};

}  // namespace tools::replay
