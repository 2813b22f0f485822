#include "tools/replay/app_phrases.h"

#include <algorithm>

#include "platform/text/text.h"
#include "tools/replay/text_marks.h"

namespace tools::replay {
namespace {

// Android's line for a message whose media was left out of the export.
constexpr std::string_view kMediaOmitted[] = {
    "<Media omitted>", "<Multimedia omitido>",    "<M\u00EDdia oculta>",
    "<Media omessi>",  "<Medien ausgeschlossen>", "<M\u00E9dias omis>",
};

// The last word of the phone's own line for a media left out: "image
// omitted", "Report.pdf • 3 pages document omitted".
constexpr std::string_view kOmittedWords[] = {
    "omitted", "omitido",     "omitida", "ocultado", "ocultada", "omesso",
    "omessa",  "weggelassen", "absent",  "absente",  "omis",     "omise",
};

// The phone's "<attached: FILE>".
constexpr std::string_view kAttachedLabels[] = {
    "attached", "adjunto", "anexado", "allegato", "Anhang", "pi\u00E8ce jointe", "fichier joint",
};

// Android's "FILE (file attached)" and "FILE <allegato>".
constexpr std::string_view kFileAttachedLabels[] = {
    "file attached", "archivo adjunto", "arquivo anexado",      "ficheiro anexado",
    "file allegato", "allegato",        "Datei angeh\u00E4ngt", "fichier joint",
};

constexpr std::string_view kDeleted[] = {
    "This message was deleted",
    "You deleted this message",
    "Se elimin\u00F3 este mensaje",
    "Eliminaste este mensaje",
    "Mensagem apagada",
    "Esta mensagem foi apagada",
    "Voc\u00EA apagou esta mensagem",
    "Questo messaggio \u00E8 stato eliminato",
    "Hai eliminato questo messaggio",
    "Diese Nachricht wurde gel\u00F6scht",
    "Du hast diese Nachricht gel\u00F6scht",
    "Ce message a \u00E9t\u00E9 supprim\u00E9",
    "Vous avez supprim\u00E9 ce message",
};

// Inside the angle brackets of the note an edited message ends with.
constexpr std::string_view kEdited[] = {
    "This message was edited",
    "Se edit\u00F3 este mensaje",
    "Mensagem editada",
    "Questo messaggio \u00E8 stato modificato",
    "Diese Nachricht wurde bearbeitet",
    "Ce message a \u00E9t\u00E9 modifi\u00E9",
};

// What the app puts before the chat's name in the file it exports.
constexpr std::string_view kChatFilePrefixes[] = {
    "WhatsApp Chat with ",       "WhatsApp Chat - ",          "WhatsApp Chat mit ",
    "Chat de WhatsApp con ",     "Conversa do WhatsApp com ", "Chat WhatsApp con ",
    "Discussion WhatsApp avec ",
};

template <std::size_t N>
bool anyEqualsIgnoringCase(const std::string_view (&phrases)[N], std::string_view text) {
  return std::any_of(std::begin(phrases), std::end(phrases), [text](std::string_view phrase) {
    return platform::text::equalsIgnoringCase(text, phrase);
  });
}

std::string_view withoutFullStop(std::string_view text) {
  if (text.ends_with('.')) text.remove_suffix(1);
  return text;
}

// "<LABEL: FILE>" or "<LABEL : FILE>" (French).
bool isAttachedFile(std::string_view line) {
  if (!line.starts_with('<') || !line.ends_with('>')) return false;
  const auto colon = line.find(':');
  return colon != std::string_view::npos &&
         anyEqualsIgnoringCase(kAttachedLabels, trimmed(line.substr(1, colon - 1)));
}

// "FILE (LABEL)" or "FILE <LABEL>".
bool isFileAttached(std::string_view line) {
  const char close = line.empty() ? '\0' : line.back();
  if (close != ')' && close != '>') return false;
  const auto open = line.rfind(close == ')' ? " (" : " <");
  if (open == std::string_view::npos || open == 0) return false;
  return anyEqualsIgnoringCase(kFileAttachedLabels, line.substr(open + 2, line.size() - open - 3));
}

bool isMediaOmittedOnPhone(std::string_view line) {
  const auto space = line.find_last_of(' ');
  return space != std::string_view::npos &&
         anyEqualsIgnoringCase(kOmittedWords, line.substr(space + 1));
}

}  // namespace

bool isAttachment(std::string_view line) {
  const bool marked = line.starts_with(kLeftToRightMark);
  line = trimmed(line);
  const bool angled = line.starts_with('<') && line.ends_with('>');
  return (angled && anyEqualsIgnoringCase(kMediaOmitted, line)) || isAttachedFile(line) ||
         isFileAttached(line) || (marked && isMediaOmittedOnPhone(line));
}

bool isDeletedMessage(std::string_view text) {
  text = withoutFullStop(trimmed(text));
  return std::find(std::begin(kDeleted), std::end(kDeleted), text) != std::end(kDeleted);
}

std::string_view withoutEditedNote(std::string_view text) {
  if (!text.ends_with('>')) return text;
  const auto open = text.rfind('<');
  if (open == std::string_view::npos) return text;
  const auto note = withoutFullStop(text.substr(open + 1, text.size() - open - 2));
  if (!anyEqualsIgnoringCase(kEdited, note)) return text;
  // Trimmed at the end only: the blanks in front of the text are the author's.
  return trimmedAtEnd(text.substr(0, open));
}

std::optional<std::string_view> chatNamed(std::string_view name) {
  for (const auto prefix : kChatFilePrefixes) {
    if (!name.starts_with(prefix)) continue;
    const auto chat = trimmed(name.substr(prefix.size()));
    if (!chat.empty()) return chat;
  }
  return std::nullopt;
}

}  // namespace tools::replay
