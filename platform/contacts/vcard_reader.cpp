#include "platform/contacts/vcard_reader.h"

#include <fmt/format.h>

#include <algorithm>
#include <utility>
#include <variant>

#include "platform/contacts/ascii.h"
#include "platform/contacts/vcard_text.h"
#include "platform/foundation/log.h"

namespace platform::contacts {
namespace {

struct PhysicalLine {
  std::string_view text;
  std::size_t number;
};

// The lines of a file, one at a time. A physical line ends at LF, at CR LF,
// at any run of CRs before an LF, or at a lone CR.
class PhysicalLines {
 public:
  explicit PhysicalLines(std::string_view text) : text_(text) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text_.starts_with(byteOrderMark)) text_.remove_prefix(byteOrderMark.size());
  }

  std::optional<PhysicalLine> next() {
    if (text_.empty()) return std::nullopt;
    // A search for either byte, rather than find_first_of, which looks each
    // byte up in the set of two.
    const auto found =
        std::find_if(text_.begin(), text_.end(), [](char c) { return c == '\r' || c == '\n'; });
    const auto end = found == text_.end() ? std::string_view::npos
                                          : static_cast<std::size_t>(found - text_.begin());
    const PhysicalLine line{text_.substr(0, end), ++number_};
    if (end == std::string_view::npos) {
      text_ = {};
      return line;
    }
    auto next = end + 1;
    if (text_[end] == '\r') {
      const auto lf = text_.find_first_not_of('\r', end);
      if (lf != std::string_view::npos && text_[lf] == '\n') next = lf + 1;
    }
    text_.remove_prefix(next);
    return line;
  }

 private:
  std::string_view text_;
  std::size_t number_ = 0;
};

bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlankOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlankOrTab(text.back())) text.remove_suffix(1);
  return text;
}

bool continuesFolded(std::string_view line) { return !line.empty() && isBlankOrTab(line[0]); }

// The position of the colon that ends a line's name and parameters: the
// first one outside a quoted parameter value.
std::size_t valueColon(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

// Calls visit(part) for each part of text between separators outside
// double quotes.
template <class Visit>
void forEachOutsideQuotes(std::string_view text, char separator, Visit visit) {
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == separator && !quoted) {
      visit(text.substr(start, i - start));
      start = i + 1;
    }
  }
  visit(text.substr(start));
}

struct ContentLine {
  std::string_view name;        // without its group
  std::string_view parameters;  // what lies between the name and the colon
  std::string_view value;       // still encoded and escaped
};

// The line as a property, given the colon that ends its head.
std::optional<ContentLine> contentLineAt(std::string_view line, std::size_t colon) {
  const auto head = line.substr(0, colon);
  auto semicolon = head.size();
  forEachOutsideQuotes(head, ';', [&](std::string_view part) {
    if (semicolon == head.size()) semicolon = part.size();
  });
  std::string_view name = head.substr(0, semicolon);
  if (const auto dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
  if (name.empty()) return std::nullopt;
  const auto parameters = semicolon < head.size() ? head.substr(semicolon + 1) : std::string_view{};
  return ContentLine{name, parameters, line.substr(colon + 1)};
}

std::optional<ContentLine> parseContentLine(std::string_view line) {
  const auto colon = valueColon(line);
  if (colon == std::string_view::npos) return std::nullopt;
  return contentLineAt(line, colon);
}

// Calls visit(name, value) for each parameter, the value with its quotes. A
// bare parameter is named by what it is, as vCard 2.1 writes them: an
// encoding ("QUOTED-PRINTABLE"), a value kind ("URL") or else a type ("CELL").
template <class Visit>
void forEachParameter(std::string_view parameters, Visit visit) {
  if (parameters.empty()) return;
  forEachOutsideQuotes(parameters, ';', [&](std::string_view parameter) {
    const auto equals = parameter.find('=');
    if (equals != std::string_view::npos) {
      visit(parameter.substr(0, equals), parameter.substr(equals + 1));
      return;
    }
    std::string_view name = "TYPE";
    for (const std::string_view encoding : {"QUOTED-PRINTABLE", "BASE64", "8BIT", "7BIT"}) {
      if (equalsIgnoringAsciiCase(parameter, encoding)) name = "ENCODING";
    }
    for (const std::string_view kind : {"INLINE", "URL", "CONTENT-ID", "CID"}) {
      if (equalsIgnoringAsciiCase(parameter, kind)) name = "VALUE";
    }
    visit(name, parameter);
  });
}

std::string_view unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool isQuotedPrintable(std::string_view parameters) {
  // Only a part that reads "QUOTED-PRINTABLE" can say so, and most lines
  // hold none: they are let go before their parts are taken apart.
  constexpr std::string_view encoding = "QUOTED-PRINTABLE";
  const auto holdsEncoding =
      std::search(parameters.begin(), parameters.end(), encoding.begin(), encoding.end(),
                  [](char a, char b) { return asciiUpper(a) == b; }) != parameters.end();
  if (!holdsEncoding) return false;
  bool found = false;
  forEachParameter(parameters, [&](std::string_view name, std::string_view value) {
    found = found || (equalsIgnoringAsciiCase(name, "ENCODING") &&
                      equalsIgnoringAsciiCase(unquoted(value), "QUOTED-PRINTABLE"));
  });
  return found;
}

enum class Version { V21, V30, V40 };

TextCoding codingOf(const ContentLine& line, Version version) {
  TextCoding coding;
  coding.legacyDefault = version == Version::V21;
  forEachParameter(line.parameters, [&](std::string_view name, std::string_view value) {
    if (equalsIgnoringAsciiCase(name, "CHARSET")) coding.charset = unquoted(value);
  });
  coding.quotedPrintable = isQuotedPrintable(line.parameters);
  return coding;
}

// A card's logical lines over its physical ones. A line continues on the
// next physical line when it is folded (the next one starts with a blank or
// a tab) or when its quoted-printable value ends with a soft line break
// ("=" at the end).
class CardLines {
 public:
  void add(const PhysicalLine& physical) {
    if (!lines_.empty() && lines_.back().quotedPrintable && pieces_.back().text.ends_with('=')) {
      pieces_.back().text.remove_suffix(1);
      pieces_.push_back({physical.text, false});
      ++lines_.back().pieces;
    } else if (!lines_.empty() && continuesFolded(physical.text)) {
      pieces_.push_back({physical.text, true});
      ++lines_.back().pieces;
    } else {
      const auto colon = valueColon(physical.text);
      const bool quotedPrintable =
          colon != std::string_view::npos && isQuotedPrintable(physical.text.substr(0, colon));
      lines_.push_back(
          {physical.number, pieces_.size(), 1, quotedPrintable,
           colon == std::string_view::npos ? std::nullopt : contentLineAt(physical.text, colon)});
      pieces_.push_back({physical.text, false});
    }
  }

  // Empties the card for the next one, keeping the memory.
  void clear() {
    pieces_.clear();
    lines_.clear();
  }

  std::size_t size() const { return lines_.size(); }
  std::size_t number(std::size_t line) const { return lines_[line].number; }

  // The line unfolded: vCard 2.1 keeps the blank that folds a line (it
  // folds only where there was white space), later versions drop it. Valid
  // until the next call.
  std::string_view text(std::size_t line, Version version) {
    const auto& entry = lines_[line];
    if (entry.pieces == 1) return pieces_[entry.first].text;
    joined_.clear();
    for (std::size_t i = entry.first; i < entry.first + entry.pieces; ++i) {
      auto piece = pieces_[i].text;
      if (pieces_[i].folded && version != Version::V21) piece.remove_prefix(1);
      joined_.append(piece);
    }
    return joined_;
  }

  // The line as a property; nullopt when it is none. A line of one piece
  // was parsed as it was added. Valid until the next call.
  std::optional<ContentLine> content(std::size_t line, Version version) {
    const auto& entry = lines_[line];
    return entry.pieces == 1 ? entry.content : parseContentLine(text(line, version));
  }

 private:
  struct Piece {
    std::string_view text;
    bool folded;
  };
  struct Entry {
    std::size_t number;
    std::size_t first;
    std::size_t pieces;
    bool quotedPrintable;
    std::optional<ContentLine> content;  // of the first piece
  };
  std::vector<Piece> pieces_;
  std::vector<Entry> lines_;
  std::string joined_;
};

// What keeps a card, or a file, from being read, and the line where it shows.
struct Problem {
  std::size_t line;
  std::string what;

  std::string text() const { return fmt::format("line {}: {}", line, what); }
};

class CardParser {
 public:
  explicit CardParser(CardLines& lines) : lines_(lines) {}

  std::variant<VCard, Problem> parse() {
    if (auto problem = findVersion()) return std::move(*problem);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const auto content = lines_.content(i, version_);
      if (!content) {
        if (trimmed(lines_.text(i, version_)).empty()) continue;
        return Problem{lines_.number(i), "the line is not a property"};
      }
      if (auto problem = take(*content)) return Problem{lines_.number(i), std::move(*problem)};
    }
    if (!card_.uid) card_.contentHash = contentHash();
    return std::move(card_);
  }

 private:
  // The version decides how every other line unfolds. A card without a
  // VERSION line is read as 3.0.
  std::optional<Problem> findVersion() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const auto content = lines_.content(i, Version::V30);
      if (!content || !equalsIgnoringAsciiCase(content->name, "VERSION")) continue;
      const auto version = trimmed(content->value);
      if (version == "2.1") {
        version_ = Version::V21;
      } else if (version == "4.0") {
        version_ = Version::V40;
      } else if (version != "3.0") {
        return Problem{lines_.number(i), fmt::format("version {} is not supported", version)};
      }
      break;
    }
    return std::nullopt;
  }

  // Records what the card needs of one line; the problem when its value
  // cannot be read.
  std::optional<std::string> take(const ContentLine& line) {
    const auto is = [&](std::string_view name) { return equalsIgnoringAsciiCase(line.name, name); };
    if (is("UID")) return assign(card_.uid, line.value, codingOf(line, version_));
    if (is("FN")) return assign(card_.formattedName, line.value, codingOf(line, version_));
    if (is("TEL")) return addPhone(line, codingOf(line, version_));
    if (is("N")) return setName(line, codingOf(line, version_));
    return std::nullopt;
  }

  static std::optional<std::string> assign(std::optional<std::string>& field, std::string_view raw,
                                           const TextCoding& coding) {
    auto text = decodedText(raw, coding);
    if (!text) return text.reason();
    field = std::move(*text);
    return std::nullopt;
  }

  std::optional<std::string> setName(const ContentLine& line, const TextCoding& coding) {
    std::vector<std::string> components;
    components.reserve(5);  // family, given, additional, prefixes, suffixes
    std::optional<std::string> problem;
    forEachComponent(line.value, [&](std::string_view raw) {
      if (problem) return;
      std::optional<std::string> component;
      problem = assign(component, raw, coding);
      if (component) components.push_back(std::move(*component));
    });
    if (!problem) card_.name = std::move(components);
    return problem;
  }

  std::optional<std::string> addPhone(const ContentLine& line, const TextCoding& coding) {
    VCardPhone phone;
    forEachParameter(line.parameters, [&](std::string_view name, std::string_view value) {
      if (!equalsIgnoringAsciiCase(name, "TYPE")) return;
      std::string type;
      for (const char c : value) {
        if (c != '"') type.push_back(c);
      }
      phone.type = phone.type ? *phone.type + "," + type : std::move(type);
    });
    if (phone.type) {
      auto type = utf8Of(std::move(*phone.type), coding);
      if (!type) return type.reason();
      phone.type = std::move(*type);
    }
    std::string_view number = line.value;
    // vCard 4.0 writes numbers as tel: addresses.
    if (startsWithIgnoringAsciiCase(number, "TEL:")) number.remove_prefix(4);
    std::optional<std::string> text;
    if (auto problem = assign(text, number, coding)) return problem;
    phone.number = std::move(*text);
    card_.phones.push_back(std::move(phone));
    return std::nullopt;
  }

  // The components of a structured value such as N, split at unescaped
  // semicolons.
  template <class Visit>
  static void forEachComponent(std::string_view value, Visit visit) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\') {
        ++i;
      } else if (value[i] == ';') {
        visit(value.substr(start, i - start));
        start = i + 1;
      }
    }
    visit(value.substr(start));
  }

  std::uint64_t contentHash() {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto add = [&hash](std::string_view text) {
      for (const unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
      }
    };
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (i > 0) add("\n");
      add(lines_.text(i, version_));
    }
    return hash;
  }

  CardLines& lines_;
  Version version_ = Version::V30;
  VCard card_;
};

enum class Delimiter { None, Begin, End };

// Whether a line opens a card ("BEGIN:VCARD") or closes one ("END:VCARD"), in
// any case, blanks around it. Every line is asked, so a line that starts with
// neither word is let go at once.
Delimiter delimiterOf(std::string_view line) {
  const auto text = trimmed(line);
  const bool begins = startsWithIgnoringAsciiCase(text, "BEGIN");
  const bool ends = !begins && startsWithIgnoringAsciiCase(text, "END");
  if (!begins && !ends) return Delimiter::None;
  const auto content = parseContentLine(text);
  if (!content || !equalsIgnoringAsciiCase(trimmed(content->value), "VCARD")) {
    return Delimiter::None;
  }
  if (begins && equalsIgnoringAsciiCase(content->name, "BEGIN")) return Delimiter::Begin;
  if (ends && equalsIgnoringAsciiCase(content->name, "END")) return Delimiter::End;
  return Delimiter::None;
}

// Why a text that holds no card is not a vCard file, when its bytes tell more than its lines.
std::optional<std::string> notText(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return "it is UTF-16 text; vCard files are read in UTF-8 or in the CHARSET of a value";
  }
  if (text.find('\0') != std::string_view::npos) return "it is not text: it holds NUL bytes";
  return std::nullopt;
}

}  // namespace

Result<> forEachVCard(std::string_view text, std::string_view source,
                      const std::function<void(VCard&)>& visit) {
  // The first line of the card being read, if any. One buffer holds the
  // lines of every card in turn.
  std::optional<std::size_t> open;
  CardLines cardLines;
  std::size_t cardsRead = 0;
  std::size_t strayLines = 0;
  // Why nothing could be read, should that be so.
  std::optional<Problem> firstSkipped;
  std::optional<Problem> firstStray;
  const auto skip = [&](std::size_t cardLine, Problem problem) {
    NSLog(fmt::format("Contacts: skipped the card at line {} of {}: {}", cardLine, source,
                      problem.text()));
    if (!firstSkipped) firstSkipped = std::move(problem);
  };
  PhysicalLines lines(text);
  std::size_t lastLine = 0;
  while (const auto next = lines.next()) {
    const PhysicalLine& line = *next;
    lastLine = line.number;
    const Delimiter delimiter = delimiterOf(line.text);
    if (delimiter == Delimiter::Begin) {
      if (open) skip(*open, {line.number, "BEGIN:VCARD before the card's END:VCARD"});
      open = line.number;
      cardLines.clear();
    } else if (!open) {
      if (!trimmed(line.text).empty() && !continuesFolded(line.text)) {
        if (!firstStray) firstStray = Problem{line.number, "outside any card (no BEGIN:VCARD)"};
        ++strayLines;
      }
    } else if (delimiter == Delimiter::End) {
      auto card = CardParser(cardLines).parse();
      if (auto* problem = std::get_if<Problem>(&card)) {
        skip(*open, std::move(*problem));
      } else {
        ++cardsRead;
        visit(std::get<VCard>(card));
      }
      open.reset();
    } else {
      cardLines.add(line);
    }
  }
  if (open) skip(*open, {lastLine, "the file ends before END:VCARD"});
  if (strayLines > 0) {
    NSLog(fmt::format("Contacts: ignored {} lines outside any card in {}", strayLines, source));
  }
  if (cardsRead > 0) return {};
  if (auto why = notText(text); why && (firstSkipped || firstStray)) return Failure{*why};
  if (firstSkipped) return Failure{firstSkipped->text()};
  if (firstStray) return Failure{firstStray->text()};
  return {};
}

}  // namespace platform::contacts
