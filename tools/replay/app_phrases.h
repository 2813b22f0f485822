#pragma once
// What the messaging app writes into a chat export in place of a message's
// content, and how it names the file, in the languages of the phones that
// export (English, Spanish, Portuguese, Italian, German, French). Each kind
// of phrase is one table in app_phrases.cpp: another language is a line there.
#include <optional>
#include <string_view>

namespace tools::replay {

// Whether line, the first line of a message's text, stands for an
// attachment: "<Media omitted>" in any case, "<attached: FILE>",
// "FILE (file attached)", "FILE <allegato>" and their translations, and the
// phone's own "image omitted" and the like behind a left-to-right mark.
bool isAttachment(std::string_view line);

// Whether text is what a deleted message leaves: "This message was deleted",
// "You deleted this message" and their translations, with or without a
// full stop and the phone's mark.
bool isDeletedMessage(std::string_view text);

// text without the note "<This message was edited>" (or a translation) at
// its end, nor the blanks and marks before it.
std::string_view withoutEditedNote(std::string_view text);

// NAME, when name (a file's name without its extension) is the app's
// "WhatsApp Chat with NAME", "WhatsApp Chat - NAME" or a translation.
std::optional<std::string_view> chatNamed(std::string_view name);

}  // namespace tools::replay
