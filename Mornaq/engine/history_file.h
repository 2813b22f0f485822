#pragma once
// The reply history file: every reply that left, newest first, so that the
// policies that count replies hold across restarts of the app.
#include "Mornaq/engine/reply_policies.h"

namespace mornaq {

// The recorded replies; none when the file is missing or malformed.
ReplyHistory readReplyHistory();

// Records a reply that left, through the locked update; a malformed file is
// moved aside first.
void recordReply(const format::HistoryEntry& entry);

}  // namespace mornaq
