#pragma once
// What the text after an author stands for: a message's text, a message
// without one (an attachment without a caption, a deleted message), or a
// line of the app's own that the phone writes under the chat's name, its
// text behind a left-to-right mark ("Ann: ‎Messages and calls are
// end-to-end encrypted.").
#include <optional>
#include <string_view>

namespace tools::replay {

struct MessageContent {
  bool isMessage = true;
  // The text as the user wrote it: an attachment's caption (the lines after
  // it), without the note that the message was edited; none without one.
  std::optional<std::string_view> text;
};

// text: the lines after "Author: ", joined by line feeds.
MessageContent readContent(std::string_view text);

}  // namespace tools::replay
