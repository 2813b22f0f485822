#pragma once
// The reply history file: every reply that left, newest first, so that the
// policies that count replies hold across restarts of the app. The main
// queue never waits for the disk: a reply is recorded in the process at once
// and written on its background queue.
#include "Mornaq/engine/reply_policies.h"

namespace mornaq {

// The recorded replies, newest first, as the file will hold them: those this
// process recorded and has not yet written, above those of the file (none
// when it is missing or malformed).
ReplyHistory readReplyHistory();

// Records a reply that left. Half a second later the background queue
// writes it, with every reply recorded by then, in one locked update (a
// malformed file is moved aside first). A failed write is logged, and the
// replies it carried are kept and written with the next record.
void recordReply(const format::HistoryEntry& entry);

// Writes every reply recorded and not yet written, and returns once they are
// on disk or the write has failed (logged): for the app's termination.
void flushReplyHistory();

}  // namespace mornaq
