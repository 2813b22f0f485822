// Any bytes, as a text file or a .zip: reading never crashes; every message
// it hands out has a trimmed author, UTF-8 texts and a date that exists, as
// many as the first pass counted; and a text file with its line feeds turned
// into CR LF reads as the same messages.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/replay/chat_export.h"
#include "tools/replay/text_marks.h"

namespace {

using tools::replay::ChatExport;
using tools::replay::ExportedMessage;

[[noreturn]] void fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
  std::abort();
}

const std::filesystem::path& exportFile() {
  static const auto path = std::filesystem::temp_directory_path() /
                           ("chat_export_fuzz_" + std::to_string(::getpid()) + ".txt");
  return path;
}

void write(std::string_view bytes) {
  std::FILE* file = std::fopen(exportFile().c_str(), "wb");
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    fail("cannot write", exportFile().string());
  }
  std::fclose(file);
}

void check(const ExportedMessage& message) {
  if (message.author.empty() || tools::replay::trimmed(message.author) != message.author) {
    fail("an author that is empty or not trimmed", message.author);
  }
  if (!tools::replay::isValidUtf8(message.author))
    fail("an author that is not UTF-8", message.author);
  if (message.text && !tools::replay::isValidUtf8(*message.text)) {
    fail("a text that is not UTF-8", *message.text);
  }
  const auto& t = message.time;
  const std::chrono::year_month_day date{std::chrono::year(t.year),
                                         std::chrono::month(static_cast<unsigned>(t.month)),
                                         std::chrono::day(static_cast<unsigned>(t.day))};
  if (!date.ok() || t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 ||
      t.second > 59) {
    fail("a time that does not exist", tools::replay::isoText(t));
  }
}

// The messages of the export written with bytes; none when it does not read.
std::optional<std::vector<ExportedMessage>> messagesOf(std::string_view bytes) {
  write(bytes);
  const auto chat = ChatExport::open(exportFile());
  if (!chat) return std::nullopt;
  std::vector<ExportedMessage> messages;
  const auto read = chat->forEachMessage([&](const ExportedMessage& message) {
    check(message);
    messages.push_back(message);
  });
  if (!read) fail("the second pass failed", read.reason());
  if (messages.size() != chat->overview().messages) fail("the passes disagree", "");
  return messages;
}

bool same(const ExportedMessage& a, const ExportedMessage& b) {
  return a.line == b.line && a.time == b.time && a.author == b.author && a.text == b.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto messages = messagesOf(bytes);
  if (bytes.starts_with("PK") || bytes.find('\r') != std::string_view::npos) return 0;
  std::string crlf;
  for (const char c : bytes) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  const auto again = messagesOf(crlf);
  if (messages.has_value() != again.has_value()) fail("CR LF changed whether it reads", bytes);
  if (!messages) return 0;
  if (again->size() != messages->size()) fail("CR LF changed the number of messages", bytes);
  for (std::size_t i = 0; i < messages->size(); ++i) {
    if (!same((*messages)[i], (*again)[i])) fail("CR LF changed a message", bytes);
  }
  return 0;
}
