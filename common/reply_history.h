#pragma once
// The reply history file's entries, read and added the same way by the hook
// library (which records every reply that leaves) and the settings bundle
// (which shows and clears them).
#include <string>
#include <vector>

#include "common/settings_format.h"
#include "platform/foundation/value.h"

namespace mornaq::format {

struct HistoryEntry {
  platform::Date time;
  std::string chat;  // the contact key, or the display name of a chat without one
  std::string displayName;
  std::string text;
  bool operator==(const HistoryEntry&) const = default;
};

// The entries of a history file, newest first; entries without a date are
// skipped, so a hand-edited file never stops a reader.
inline std::vector<HistoryEntry> historyEntries(const platform::Dictionary& file) {
  std::vector<HistoryEntry> entries;
  const platform::Array* replies = platform::lookUp(file, kHistoryReplies).array();
  if (!replies) return entries;
  for (const auto& reply : *replies) {
    const platform::Dictionary* fields = reply.dictionary();
    if (!fields) continue;
    const auto* time =
        std::get_if<platform::Date>(&platform::lookUp(*fields, kHistoryTime).storage());
    if (!time) continue;
    const auto text = [&](std::string_view key) {
      return platform::lookUp(*fields, key).stringValue().value_or("");
    };
    entries.push_back({*time, text(kHistoryChat), text(kHistoryDisplayName), text(kHistoryText)});
  }
  return entries;
}

// Puts entry first in the file, keeping at most kHistoryLimit entries; other
// keys of the file stay as they are.
inline void addToHistory(platform::Dictionary& file, const HistoryEntry& entry) {
  platform::Array replies;
  replies.push_back(platform::Dictionary{{std::string(kHistoryTime), entry.time},
                                         {std::string(kHistoryChat), entry.chat},
                                         {std::string(kHistoryDisplayName), entry.displayName},
                                         {std::string(kHistoryText), entry.text}});
  if (const platform::Array* old = platform::lookUp(file, kHistoryReplies).array()) {
    for (const auto& reply : *old) {
      if (replies.size() == kHistoryLimit) break;
      replies.push_back(reply);
    }
  }
  file.insert_or_assign(std::string(kHistoryReplies), std::move(replies));
}

}  // namespace mornaq::format
