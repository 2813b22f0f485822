#include "Mornaq/engine/history_file.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "common/settings_write.h"
#include "platform/dispatch/guarded.h"
#include "platform/dispatch/serial_queue.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace mornaq {
namespace {

// Replies that arrive within this time of one another are written together:
// one locked update and one pair of flushes to disk for all of them.
constexpr platform::Duration kGatherTime{500'000'000};

// The replies this process recorded and has not yet seen written, oldest
// first. A write carries them all and drops them once they are in the file;
// a failed write leaves them for the next.
struct Unwritten {
  ReplyHistory replies;
  bool writeQueued = false;
};
using Recorder = platform::Guarded<Unwritten>;

Recorder& recorder() { return platform::Process::current().state<Recorder>(); }

// The file's replies as last read, with the parsed file they came from:
// reading the file unchanged converts nothing.
struct FileReplies {
  std::shared_ptr<const platform::Dictionary> file;
  ReplyHistory replies;
};

ReplyHistory fileReplies() {
  const auto file = platform::readPlistShared(format::kReplyHistoryPath);
  auto& seen = platform::Process::current().state<platform::Guarded<FileReplies>>();
  return seen.update([&](FileReplies& last) {
    if (last.file != file) last = {file, format::historyEntries(*file)};
    return last.replies;
  });
}

// Runs on the background queue only, so that one write of the process's
// replies is under way at a time.
void writeToFile(const ReplyHistory& replies) {
  if (replies.empty()) return;
  // Older than the newest kHistoryLimit, a reply would not stay in the file.
  const auto tooOld = replies.size() - std::min(replies.size(), format::kHistoryLimit);
  const auto written = writeSettings(format::kReplyHistoryPath, [&](platform::Dictionary& file) {
    std::for_each(replies.begin() + tooOld, replies.end(),
                  [&](const auto& reply) { format::addToHistory(file, reply); });
    return true;
  });
  if (!written) return;  // logged by writeSettings; written with the next record
  // Read here rather than at the main queue's next read.
  static_cast<void>(fileReplies());
  recorder().update([&](Unwritten& unwritten) {
    auto& waiting = unwritten.replies;
    waiting.erase(waiting.begin(), waiting.begin() + replies.size());
  });
}

void writeGathered() {
  writeToFile(recorder().update([](Unwritten& unwritten) {
    unwritten.writeQueued = false;  // a reply recorded from now on waits for the next write
    return unwritten.replies;
  }));
}

// How many of the oldest replies in waiting the file already holds: a write
// that ended after they were copied put them on top of it, newest first.
std::size_t writtenMeanwhile(const ReplyHistory& file, const ReplyHistory& waiting) {
  if (file.empty()) return 0;
  const auto newest = std::find(waiting.rbegin(), waiting.rend(), file.front());
  const auto count = static_cast<std::size_t>(waiting.rend() - newest);
  const auto compared = static_cast<std::ptrdiff_t>(std::min(count, file.size()));
  return std::equal(newest, newest + compared, file.begin()) ? count : 0;
}

}  // namespace

ReplyHistory readReplyHistory() {
  // Copied before the file is read, so that the replies of a write ending in
  // between are found in both (and counted once), never in neither. Only the
  // newest fit in the history.
  ReplyHistory waiting = recorder().update([](const Unwritten& unwritten) {
    const auto& replies = unwritten.replies;
    return ReplyHistory(replies.end() - std::min(replies.size(), format::kHistoryLimit),
                        replies.end());
  });
  ReplyHistory history = fileReplies();
  waiting.erase(waiting.begin(), waiting.begin() + writtenMeanwhile(history, waiting));
  history.insert(history.begin(), waiting.rbegin(), waiting.rend());
  if (history.size() > format::kHistoryLimit) history.resize(format::kHistoryLimit);
  return history;
}

void recordReply(const format::HistoryEntry& entry) {
  // Kept as the file will give it back, which holds dates to the whole second
  // (floored), so that a reply reads the same before and after its write.
  format::HistoryEntry kept = entry;
  kept.time.secondsSinceReferenceDate = std::floor(entry.time.secondsSinceReferenceDate);
  const bool queueWrite = recorder().update([&](Unwritten& unwritten) {
    unwritten.replies.push_back(std::move(kept));
    return !std::exchange(unwritten.writeQueued, true);
  });
  if (queueWrite) platform::BackgroundQueue::background().after(kGatherTime, writeGathered);
}

void flushReplyHistory() {
  if (recorder().update([](const Unwritten& unwritten) { return unwritten.replies.empty(); }))
    return;
  platform::BackgroundQueue::background().sync([] {
    writeToFile(recorder().update([](const Unwritten& unwritten) { return unwritten.replies; }));
  });
}

}  // namespace mornaq
