#pragma once
// The entries of a chat export: each line that starts with a date and a
// time opens one, and the lines after it belong to it until the next such
// line. An entry is a message or a line of the app's own; message_content.h
// tells which.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"
#include "tools/replay/export_file.h"
#include "tools/replay/line_start.h"

namespace tools::replay {

struct ExportEntry {
  std::size_t line = 0;  // where it starts, from 1
  DateFields date{};
  ClockTime time{};
  // Without the white space and marks around it; empty for a line of the
  // app's own that names no author.
  std::string author;
  std::string text;  // its lines after the author, joined by line feeds
};

struct EntryVisitor {
  std::function<void(const ExportEntry& entry)> entry;
  // A line before the first entry, which belongs to none.
  std::function<void(std::size_t line, std::string_view text)> stray;
};

// Reads file once, handing each entry to the visitor as soon as its last
// line is read; one entry is held at a time. Fails, naming the file, when
// reading fails or a message is longer than kLongestMessage (its lines past
// that are left out).
platform::Result<> forEachEntry(const ExportFile& file, const EntryVisitor& visitor);

}  // namespace tools::replay
