#pragma once
// A chat export as a file: the text file the messaging app writes ("WhatsApp
// Chat with Ann Lee.txt", "_chat.txt") or the .zip that holds it, which the
// phone's share sheet makes, read through libarchive. Read as a stream, line
// by line, as often as a reader needs: no more of it is held at once than
// its longest line.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace tools::replay {

// The most a message of the export can hold, in bytes: far more than the
// app's 65,536 characters, so that only a file that is no export reaches it.
inline constexpr std::size_t kLongestMessage = 1 << 20;

class ExportFile {
 public:
  // The export at path. A .zip (by its name or its first bytes) holds the
  // chat as "_chat.txt", as a .txt named as the app names a chat, or as its
  // only .txt. Fails, naming the file, when it cannot be read, is a damaged
  // .zip or holds no chat.
  static platform::Result<ExportFile> open(const std::filesystem::path& path);

  const std::filesystem::path& path() const { return path_; }

  // NAME when the export's file, or the text file inside its .zip, is named
  // as the app names a chat: "WhatsApp Chat with NAME", "WhatsApp Chat - NAME".
  std::optional<std::string> chatName() const;

  // Hands visit each line of the chat, in order, as UTF-8 (a byte that is not
  // part of a character is U+FFFD) and without its line end (LF or CR LF);
  // the first without a byte-order mark; the last also when no line end
  // follows it. Fails, naming the file, when reading fails or a line is
  // longer than kLongestMessage (handed on empty).
  platform::Result<> forEachLine(const std::function<void(std::string_view line)>& visit) const;

 private:
  ExportFile(std::filesystem::path path, std::optional<std::string> entry)
      : path_(std::move(path)), entry_(std::move(entry)) {}

  std::filesystem::path path_;
  std::optional<std::string> entry_;  // the chat's path inside a .zip
};

}  // namespace tools::replay
