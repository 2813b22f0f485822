#pragma once
// A rehearsal told: each message of the export in its order, the contact's
// with what Mornaq would have done, the owner's in between; then the chat's
// summary. Readable, for a terminal (colour only when asked), or one JSON
// object a message and one for the summary:
//   {"time":"YYYY-MM-DDTHH:MM:SS","from":NAME,"you":B,"text":S|null,
//    "reply":{"text":S,"at":"YYYY-MM-DDTHH:MM:SS"}|null,"stoppedBy":S|null,"why":S}
//   {"summary":{"chat":NAME,"received":N,"answered":N,"stoppedBy":{REASON:N,...}}}
// (the last three members for the contact's messages only).
#include <ostream>

#include "platform/foundation/result.h"
#include "tools/replay/chat_export.h"
#include "tools/replay/rehearsal.h"
#include "tools/replay/who_is_who.h"

namespace tools::replay {

struct TranscriptFormat {
  bool json = false;
  bool colour = false;  // readable output on a terminal: the owner's lines dimmed
};

// Reads chat again and prints it with what the rehearsal did.
platform::Result<> printTranscript(std::ostream& out, const TranscriptFormat& format,
                                   const ChatExport& chat, const ChatRoles& roles,
                                   const Rehearsal& rehearsal);

}  // namespace tools::replay
