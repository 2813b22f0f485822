#include "tools/replay/export_entries.h"

#include <fmt/format.h>

#include "tools/replay/text_marks.h"

namespace tools::replay {

platform::Result<> forEachEntry(const ExportFile& file, const EntryVisitor& visitor) {
  ExportEntry entry;  // reused, so that its text keeps the room it grew to
  bool open = false;
  std::size_t number = 0;
  std::size_t firstOverlong = 0;  // the start of the first message too long to keep
  auto read = file.forEachLine([&](std::string_view line) {
    ++number;
    const auto start = readLineStart(line);
    if (!start) {
      if (!open) {
        visitor.stray(number, line);
        return;
      }
      if (entry.text.size() + 1 + line.size() > kLongestMessage) {
        if (firstOverlong == 0) firstOverlong = entry.line;
        return;
      }
      entry.text.append(1, '\n').append(line);
      return;
    }
    if (open) visitor.entry(entry);
    open = true;
    entry.line = number;
    entry.date = start->date;
    entry.time = start->time;
    const auto authored = splitAuthor(start->rest);
    entry.author.assign(authored ? trimmed(authored->author) : std::string_view());
    entry.text.assign(authored && !entry.author.empty() ? authored->text : start->rest);
  });
  if (!read) return read;
  if (open) visitor.entry(entry);
  if (firstOverlong != 0) {
    return platform::Failure{fmt::format(
        "{}: the message at line {} is longer than a message of the app can be ({} bytes)",
        file.path().string(), firstOverlong, kLongestMessage)};
  }
  return {};
}

}  // namespace tools::replay
