#pragma once
// Who is who in a chat export: which author is the phone's owner (the
// user, whose messages are sent), and the chat the others' messages arrive
// in, matched to the address book by display name.
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"
#include "tools/listed_contacts.h"
#include "tools/replay/chat_export.h"

namespace tools::replay {

// The chat as the messaging app would have it.
struct ReplayChat {
  // The address book's identifier for a contact of the address book; none otherwise (a
  // phone number, a group).
  std::optional<std::string> contactIdentifier;
  // The contact's name as the address book lists it; the author as written
  // when it is not there; the chat's name for a group.
  std::string displayName;
  bool group = false;  // more than one author besides the owner
  bool operator==(const ReplayChat&) const = default;
};

struct ChatRoles {
  std::string owner;  // the user; empty when the user wrote nothing and was not named
  ReplayChat chat;
  bool operator==(const ChatRoles&) const = default;
};

// The roles in an export whose first pass gave overview. The owner is me
// when given; else the author other than the chat's name (from the file's
// name or the phone's own lines); else, of two authors, the one not in the
// address book when the other is. Fails, naming the authors found and
// asking for --me, when none of these tells; also when me wrote none of
// the messages of two or more authors (a misspelt name). exportName names
// the export in failures; its stem names a chat that nothing else names.
platform::Result<ChatRoles> decideRoles(const ExportOverview& overview,
                                        const std::optional<std::string>& me,
                                        std::span<const ListedContact> addressBook,
                                        const std::filesystem::path& exportName);

}  // namespace tools::replay
