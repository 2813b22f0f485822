#include "tools/replay/export_file.h"

#include <archive.h>
#include <archive_entry.h>
#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <memory>
#include <vector>

#include "tools/replay/app_phrases.h"
#include "tools/replay/text_marks.h"

namespace tools::replay {
namespace {

namespace fs = std::filesystem;
using platform::Failure;
using platform::Result;

constexpr std::size_t kBlockSize = 64 * 1024;
using Chunks = std::function<void(std::string_view chunk)>;

Failure failureOf(const fs::path& path, std::string_view what) {
  return Failure{fmt::format("{}: {}", path.string(), what)};
}

bool endsWithIgnoringCase(std::string_view name, std::string_view ending) {
  return name.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), name.end() - static_cast<long>(ending.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

// Splits chunks of bytes into lines and hands each on, as forEachLine says.
// A line longer than kLongestMessage is handed on empty, and noted.
class LineSplitter {
 public:
  explicit LineSplitter(const std::function<void(std::string_view)>& visit) : visit_(visit) {}

  void feed(std::string_view chunk) {
    for (auto end = chunk.find('\n'); end != std::string_view::npos; end = chunk.find('\n')) {
      if (partial_.empty() && !overlong_) {
        emit(chunk.substr(0, end));
      } else {
        keep(chunk.substr(0, end));
        emit(partial_);
        partial_.clear();
      }
      chunk.remove_prefix(end + 1);
    }
    keep(chunk);
  }

  void finish() {
    if (!partial_.empty() || overlong_) emit(partial_);
  }

  // The first line that was too long; 0 for none.
  std::size_t firstOverlongLine() const { return firstOverlong_; }

 private:
  void keep(std::string_view part) {
    if (overlong_) return;
    if (partial_.size() + part.size() <= kLongestMessage) {
      partial_.append(part);
      return;
    }
    overlong_ = true;
    partial_.clear();
  }

  void emit(std::string_view line) {
    ++number_;
    if (overlong_ && firstOverlong_ == 0) firstOverlong_ = number_;
    overlong_ = false;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (number_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (isValidUtf8(line)) {
      visit_(line);
    } else {
      visit_(validUtf8(line));
    }
  }

  const std::function<void(std::string_view)>& visit_;
  std::string partial_;
  bool overlong_ = false;  // the line being read is too long: it is skipped
  std::size_t number_ = 0;
  std::size_t firstOverlong_ = 0;
};

Result<> readTextFile(const fs::path& path, const Chunks& chunks) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return failureOf(path, std::error_code(errno, std::generic_category()).message());
  std::vector<char> block(kBlockSize);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    chunks(std::string_view(block.data(), static_cast<std::size_t>(in.gcount())));
  }
  if (in.bad()) return failureOf(path, "cannot be read to its end");
  return {};
}

struct ArchiveFree {
  void operator()(archive* zip) const { archive_read_free(zip); }
};
using Archive = std::unique_ptr<archive, ArchiveFree>;

Failure damaged(const fs::path& path, archive* zip) {
  const char* error = archive_error_string(zip);
  return failureOf(path, fmt::format("a damaged .zip: {}", error ? error : "unreadable"));
}

Result<Archive> openZip(const fs::path& path) {
  Archive zip(archive_read_new());
  archive_read_support_format_zip(zip.get());
  if (archive_read_open_filename(zip.get(), path.c_str(), kBlockSize) != ARCHIVE_OK) {
    return damaged(path, zip.get());
  }
  return zip;
}

// Moves to the next entry of zip; false at the end.
Result<bool> nextEntry(const fs::path& path, archive* zip, archive_entry*& entry) {
  const int status = archive_read_next_header(zip, &entry);
  if (status == ARCHIVE_EOF) return false;
  if (status != ARCHIVE_OK && status != ARCHIVE_WARN) return damaged(path, zip);
  return true;
}

std::string entryName(archive_entry* entry) {
  const char* name = archive_entry_pathname_utf8(entry);
  if (!name) name = archive_entry_pathname(entry);
  return name ? name : "";
}

bool isChatFileName(const std::string& name) {
  const fs::path file(name);
  return file.filename() == "_chat.txt" || chatNamed(file.stem().string()).has_value();
}

// The chat's entry in the .zip at path, as ExportFile::open says.
Result<std::string> findChat(const fs::path& path) {
  auto zip = openZip(path);
  if (!zip) return zip.failure();
  std::vector<std::string> texts;
  archive_entry* entry = nullptr;
  for (;;) {
    const auto more = nextEntry(path, zip->get(), entry);
    if (!more) return more.failure();
    if (!*more) break;
    std::string name = entryName(entry);
    if (archive_entry_filetype(entry) != AE_IFREG || !endsWithIgnoringCase(name, ".txt")) continue;
    if (isChatFileName(name)) return name;
    texts.push_back(std::move(name));
  }
  if (texts.size() == 1) return texts.front();
  if (texts.empty()) return failureOf(path, "a .zip that holds no chat (no .txt file)");
  return failureOf(path,
                   fmt::format("a .zip that holds several .txt files, none named as a chat: {}",
                               fmt::join(texts, ", ")));
}

Result<> readZipEntry(const fs::path& path, const std::string& wanted, const Chunks& chunks) {
  auto zip = openZip(path);
  if (!zip) return zip.failure();
  archive_entry* entry = nullptr;
  for (;;) {
    const auto more = nextEntry(path, zip->get(), entry);
    if (!more) return more.failure();
    if (!*more) return failureOf(path, fmt::format("its {} is gone", wanted));
    if (entryName(entry) == wanted) break;
  }
  std::vector<char> block(kBlockSize);
  for (;;) {
    const la_ssize_t read = archive_read_data(zip->get(), block.data(), block.size());
    if (read < 0) return damaged(path, zip->get());
    if (read == 0) return {};
    chunks(std::string_view(block.data(), static_cast<std::size_t>(read)));
  }
}

// A .zip by its name, or by the signature its first bytes carry.
Result<bool> isZip(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return failureOf(path, std::error_code(errno, std::generic_category()).message());
  std::array<char, 4> start{};
  in.read(start.data(), start.size());
  return endsWithIgnoringCase(path.filename().string(), ".zip") ||
         std::string_view(start.data(), static_cast<std::size_t>(in.gcount())) == "PK\x03\x04";
}

}  // namespace

Result<ExportFile> ExportFile::open(const fs::path& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) return failureOf(path, "a folder, not a chat export");
  const auto zip = isZip(path);
  if (!zip) return zip.failure();
  if (!*zip) return ExportFile(path, std::nullopt);
  auto entry = findChat(path);
  if (!entry) return entry.failure();
  return ExportFile(path, std::move(*entry));
}

std::optional<std::string> ExportFile::chatName() const {
  for (const auto& name : {path_.stem().string(), fs::path(entry_.value_or("")).stem().string()}) {
    if (const auto chat = chatNamed(name)) return std::string(*chat);
  }
  return std::nullopt;
}

Result<> ExportFile::forEachLine(const std::function<void(std::string_view line)>& visit) const {
  LineSplitter lines(visit);
  const Chunks feed = [&lines](std::string_view chunk) { lines.feed(chunk); };
  auto read = entry_ ? readZipEntry(path_, *entry_, feed) : readTextFile(path_, feed);
  if (!read) return read;
  lines.finish();
  if (lines.firstOverlongLine() != 0) {
    return failureOf(path_,
                     fmt::format("line {} is longer than a message of the app can be ({} bytes)",
                                 lines.firstOverlongLine(), kLongestMessage));
  }
  return {};
}

}  // namespace tools::replay
