#include "Mornaq/engine/history_file.h"

#include "common/settings_write.h"
#include "platform/foundation/plist_file.h"

namespace mornaq {

ReplyHistory readReplyHistory() {
  return format::historyEntries(*platform::readPlistShared(format::kReplyHistoryPath));
}

void recordReply(const format::HistoryEntry& entry) {
  // The reply has left either way; a failed write is logged.
  static_cast<void>(writeSettings(format::kReplyHistoryPath, [&entry](platform::Dictionary& file) {
    format::addToHistory(file, entry);
    return true;
  }));
}

}  // namespace mornaq
