#include "tools/replay/message_content.h"

#include "tools/replay/app_phrases.h"
#include "tools/replay/text_marks.h"

namespace tools::replay {

MessageContent readContent(std::string_view text) {
  const auto lineEnd = text.find('\n');
  if (isAttachment(text.substr(0, lineEnd))) {
    const auto caption =
        lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);
    if (trimmed(caption).empty()) return {};
    return {.text = withoutEditedNote(caption)};
  }
  if (isDeletedMessage(text)) return {};
  if (text.starts_with(kLeftToRightMark)) return {.isMessage = false, .text = std::nullopt};
  return {.text = withoutEditedNote(text)};
}

}  // namespace tools::replay
