// One pass over XML property-list bytes, seeing markup as an XML parser does (comments, CDATA,
// processing instructions and the DOCTYPE are skipped; quotes inside tags are honoured), to check
// what libplist 2.2.0 does not and to hand it integers it reads as the phone does:
// - nesting of <array> and <dict> within kMaxPropertyListNesting;
// - entity decoding: libplist moves the rest of a text along for every reference it decodes, so
//   the sum over texts of (references x text length) must stay within kMaxEntityWork, about
//   50 ms of its decoding. Ordinary files stay far below: a 10 kB text with 100 references
//   counts 10^6;
// - the text of <integer>, <real> and <date>, which libplist reads with strtoull in base 0 (so
//   "010" is 8 and "12abc" is 12), atof and a lenient date parser. Integers are read as the
//   phone's parser reads them (see plist_guards.h) and handed on in plain decimal; reals must
//   be what from_chars reads whole (also nan and [+-]inf[inity]); dates Apple's
//   "YYYY-MM-DDTHH:MM:SSZ", year 1 to 9999, the year maybe shorter than four digits as libplist
//   writes early years.
// A DOCTYPE with an internal subset is refused: no property list has one, and a parser could
// end it elsewhere than this scan does. A refusal says where and why.
// The same pass follows the elements of the root value, to explain a text libplist reads
// nothing from (flawInXmlPropertyList in plist_guards.h); that decides nothing.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "platform/foundation/plist_guards.h"

namespace platform {
namespace {

constexpr std::uint64_t kMaxEntityWork = std::uint64_t{1} << 32;
constexpr std::string_view kXmlSpace = " \t\r\n";
constexpr auto npos = std::string_view::npos;

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kXmlSpace);
  if (first == npos) return {};
  return text.substr(first, text.find_last_not_of(kXmlSpace) - first + 1);
}

template <class Number>
bool readsWhole(std::string_view text, Number& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size();
}

// The value of an <integer> text in plain decimal, or nullopt when the phone's parser refuses it.
std::optional<std::string> decimalInteger(std::string_view text) {
  text = trimmed(text);
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text = trimmed(text.substr(1));
  const bool hexadecimal = text.starts_with("0x") || text.starts_with("0X");
  if (hexadecimal) text.remove_prefix(2);
  const auto significant = std::min(text.find_first_not_of('0'), text.size());
  if (significant == text.size()) {
    return significant == 0 ? std::nullopt : std::optional<std::string>("0");
  }
  text.remove_prefix(significant);
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, hexadecimal ? 16 : 10);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative && magnitude > std::uint64_t{1} << 63) return std::nullopt;
  return (negative ? "-" : "") + std::to_string(magnitude);
}

// What from_chars reads, through strtod (the phone's libc++ has no from_chars for reals), in the
// C locale the process keeps: strtod reads a second sign, spaces and hexadecimal too, so those
// are refused first.
bool isRealText(std::string_view text) {
  text = trimmed(text);
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return false;
  }
  const std::string_view unsigned_ = text.starts_with('-') ? text.substr(1) : text;
  const char first = unsigned_.empty() ? ' ' : unsigned_.front();
  const bool startsNumber = (first >= '0' && first <= '9') || first == '.' ||
                            std::string_view("iInN").find(first) != npos;
  if (!startsNumber || unsigned_.starts_with("0x") || unsigned_.starts_with("0X")) return false;
  const std::string whole(text);
  char* end = nullptr;
  // Out of range still names a number (an infinity or a zero), as strtod reads it.
  std::strtod(whole.c_str(), &end);
  return end == whole.c_str() + whole.size();
}

// Reads minDigits to maxDigits decimal digits, then the separator.
bool readField(std::string_view& text, std::size_t minDigits, std::size_t maxDigits, char separator,
               int& field) {
  const auto digits = std::min(text.find_first_not_of("0123456789"), text.size());
  if (digits < minDigits || digits > maxDigits || !readsWhole(text.substr(0, digits), field)) {
    return false;
  }
  text.remove_prefix(digits);
  if (!text.starts_with(separator)) return false;
  text.remove_prefix(1);
  return true;
}

bool isDateText(std::string_view text) {
  text = trimmed(text);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const bool shaped = readField(text, 1, 4, '-', year) && readField(text, 2, 2, '-', month) &&
                      readField(text, 2, 2, 'T', day) && readField(text, 2, 2, ':', hour) &&
                      readField(text, 2, 2, ':', minute) && readField(text, 2, 2, 'Z', second) &&
                      text.empty();
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  return shaped && year >= 1 && date.ok() && hour < 24 && minute < 60 && second < 60;
}

bool isContainer(std::string_view name) { return name == "array" || name == "dict"; }

bool isScalar(std::string_view name) {
  return name == "integer" || name == "real" || name == "date";
}

// The elements libplist reads; it refuses any other, names being case-sensitive.
bool isPropertyListElement(std::string_view name) {
  for (const std::string_view known : {"plist", "dict", "array", "key", "string", "integer", "real",
                                       "date", "data", "true", "false"}) {
    if (name == known) return true;
  }
  return false;
}

// Whether text starts with a character reference libplist decodes: a predefined entity, or a
// decimal or hexadecimal code point from 1 to U+10FFFF, ended by ";".
bool startsWithReference(std::string_view text) {
  constexpr std::size_t kLongest = 10;  // "&#1114111;"
  const auto semicolon = text.substr(0, kLongest + 1).find(';');
  if (semicolon == npos) return false;
  const auto name = text.substr(1, semicolon - 1);
  for (const std::string_view entity : {"amp", "lt", "gt", "quot", "apos"}) {
    if (name == entity) return true;
  }
  if (!name.starts_with('#')) return false;
  const bool hexadecimal = name.starts_with("#x");
  const auto digits = name.substr(hexadecimal ? 2 : 1);
  std::uint32_t codePoint = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), codePoint,
                                            hexadecimal ? 16 : 10);
  return !digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
         codePoint >= 1 && codePoint <= 0x10FFFF;
}

// A piece of the text for a reason: the start of text, up to its first line end, quoted, with
// any byte but printable ASCII as \xNN, so that a log line stays one line of plain text.
std::string excerpt(std::string_view text, std::size_t longest = 24) {
  text = text.substr(0, text.find_first_of("\r\n"));
  std::string quoted = "\"";
  for (const char c : text.substr(0, longest)) {
    const auto byte = static_cast<unsigned char>(c);
    quoted += byte >= 0x20 && byte < 0x7F ? std::string(1, c) : fmt::format("\\x{:02X}", byte);
  }
  return quoted + (text.size() > longest ? "...\"" : "\"");
}

class XmlScan {
 public:
  // seekFlaws: whether to look for the first flaw too.
  XmlScan(std::string_view xml, bool seekFlaws) : xml_(xml), seekFlaws_(seekFlaws) {
    copied_.reserve(xml.size());
  }

  // The bytes for libplist, or why they are refused.
  Result<std::string> run() {
    if (xml_.starts_with("\xFF\xFE") || xml_.starts_with("\xFE\xFF")) {
      noteFlaw(0, "it is UTF-16 text; property lists are read in UTF-8");
    }
    while (position_ < xml_.size()) {
      const auto open = xml_.find('<', position_);
      scanText(open);
      if (open == npos) break;
      if (!skipMarkup(open)) return Failure{std::move(refusal_)};
    }
    if (!endText(xml_.size())) return Failure{std::move(refusal_)};
    noteWhatIsLeftOpen();
    copied_ += xml_.substr(copiedUpTo_);
    return std::move(copied_);
  }

  // The first flaw seen by run(); empty when none was.
  const std::string& flaw() const { return flaw_; }

 private:
  // An element open in the value being read, as far as the flaw search follows it.
  struct OpenElement {
    std::string_view name;
    std::size_t at;
    bool keyPending = false;  // a <dict> whose last key still waits for its value
  };

  std::size_t lineAt(std::size_t offset) const {
    return 1 + static_cast<std::size_t>(
                   std::count(xml_.begin(), xml_.begin() + std::min(offset, xml_.size()), '\n'));
  }

  // A check failed: the bytes are refused.
  bool refuse(std::size_t at, std::string_view what) {
    refusal_ = fmt::format("line {}: {}", lineAt(at), what);
    return false;
  }

  // Only the first flaw counts, and only until the root value ends: libplist reads no further.
  bool seekingFlaws() const { return seekFlaws_ && flaw_.empty() && !rootEnded_; }

  void noteFlaw(std::size_t at, std::string_view what) {
    if (seekingFlaws()) flaw_ = fmt::format("line {}: {}", lineAt(at), what);
  }

  // The text from position_ to textEnd: its references counted for the entity work and, while
  // flaws are sought, each one checked, as is text where no text belongs.
  void scanText(std::size_t textEnd) {
    const auto text = xml_.substr(position_, std::min(textEnd, xml_.size()) - position_);
    textReferences_ += std::count(text.begin(), text.end(), '&');
    if (!seekingFlaws()) return;
    const bool inValue =
        !open_.empty() && !isContainer(open_.back().name) && open_.back().name != "plist";
    if (!inValue) {
      const auto first = text.find_first_not_of(kXmlSpace);
      if (first == npos) return;
      return noteFlaw(position_ + first,
                      sawElement_
                          ? fmt::format("text {} outside any value", excerpt(text.substr(first)))
                          : fmt::format("{} is not XML; property lists are read as XML or "
                                        "binary",
                                        excerpt(text.substr(first))));
    }
    for (auto amp = text.find('&'); amp != npos; amp = text.find('&', amp + 1)) {
      if (!startsWithReference(text.substr(amp))) {
        return noteFlaw(position_ + amp, fmt::format("{} begins no character reference (an "
                                                     "\"&\" is written \"&amp;\")",
                                                     excerpt(text.substr(amp), 10)));
      }
    }
  }

  bool skipMarkup(std::size_t open) {
    const auto markup = xml_.substr(open);
    if (markup.starts_with("<!--")) return skipPast("-->", open, 4, "comment");
    if (markup.starts_with("<![CDATA[")) return skipPast("]]>", open, 9, "CDATA section");
    if (markup.starts_with("<?")) {
      return skipPast("?>", open, 2, "processing instruction") && checkPrologue(open, "<?xml");
    }
    if (markup.starts_with("<!")) return skipDeclaration(open) && checkPrologue(open, "<!DOCTYPE ");
    return element(open);
  }

  // The XML declaration and the DOCTYPE, which libplist reads strictly: the keyword, and quotes
  // that pair up.
  bool checkPrologue(std::size_t open, std::string_view start) {
    const auto markup = xml_.substr(open, position_ - open);
    if (!markup.starts_with(start) || std::count(markup.begin(), markup.end(), '"') % 2 != 0) {
      noteFlaw(open, fmt::format("malformed {}", excerpt(markup, 40)));
    }
    return true;
  }

  // Skips markup whose opening is opening bytes long.
  bool skipPast(std::string_view terminator, std::size_t open, std::size_t opening,
                std::string_view what) {
    const auto end = xml_.find(terminator, open + opening);
    if (end == npos) return refuse(open, fmt::format("{} not closed by \"{}\"", what, terminator));
    position_ = end + terminator.size();
    return true;
  }

  bool skipDeclaration(std::size_t open) {
    const auto end = xml_.find_first_of("[>", open);
    if (end == npos) return refuse(open, "declaration not closed by \">\"");
    if (xml_[end] == '[') return refuse(open, "a DOCTYPE with an internal subset");
    position_ = end + 1;
    return true;
  }

  // The '>' that ends the tag starting at open, outside quoted attribute values.
  std::size_t tagEnd(std::size_t open) const {
    char quote = '\0';
    for (auto i = open + 1; i < xml_.size(); ++i) {
      const char c = xml_[i];
      if (quote != '\0') {
        if (c == quote) quote = '\0';
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        return i;
      }
    }
    return npos;
  }

  bool element(std::size_t open) {
    const auto close = tagEnd(open);
    if (close == npos) {
      return refuse(open, fmt::format("tag {} not closed by \">\"", excerpt(xml_.substr(open))));
    }
    if (!endText(open)) return false;
    const auto tag = xml_.substr(open + 1, close - open - 1);
    position_ = textStart_ = close + 1;

    const bool closing = tag.starts_with('/');
    const auto body = closing ? tag.substr(1) : tag;
    const auto name = body.substr(0, body.find_first_of(" \t\r\n/"));
    const bool empty = tag.ends_with('/');
    sawElement_ = true;
    checkTagShape(tag, name, open);
    if (closing) {
      closeElement(name, open);
      if (isContainer(name) && nesting_ > 0) --nesting_;
      return true;
    }
    openElement(name, open, empty);
    if (isContainer(name)) {
      return empty || ++nesting_ <= kMaxPropertyListNesting ||
             refuse(open, fmt::format("nested deeper than {} levels", kMaxPropertyListNesting));
    }
    if (empty) return !isScalar(name) || refuse(open, fmt::format("<{}/> has no value", name));
    if (name == "integer") return integer(open);
    if (name == "real") return scalarIs(open, name, isRealText, "a number");
    if (name == "date") return scalarIs(open, name, isDateText, "a date (YYYY-MM-DDTHH:MM:SSZ)");
    return true;
  }

  // A tag is its name, then attributes only, and a "/" at the end when it closes itself; an end
  // tag is its name alone. A "<" inside a tag is most often the next tag, after a ">" that went
  // missing.
  void checkTagShape(std::string_view tag, std::string_view name, std::size_t at) {
    // A "<" followed by no name is a text's, which openElement tells of.
    if (!seekingFlaws() || name.empty()) return;
    const bool closing = tag.starts_with('/');
    const std::size_t nameEnd = (closing ? 1 : 0) + name.size();
    const std::size_t restEnd = tag.size() - (!closing && tag.ends_with('/') ? 1 : 0);
    char quote = '\0';
    for (std::size_t i = 0; i < tag.size(); ++i) {
      const char c = tag[i];
      if (quote != '\0') {
        if (c == quote) quote = '\0';
      } else if (c == '<') {
        return noteFlaw(at, fmt::format("{} has no \">\" before the next \"<\"",
                                        excerpt("<" + std::string(tag.substr(0, i)))));
      } else if (i >= nameEnd && i < restEnd &&
                 (c == '/' || (closing && kXmlSpace.find(c) == npos))) {
        return noteFlaw(at, fmt::format("malformed tag {}", excerpt("<" + std::string(tag) + ">")));
      } else if (c == '"' || c == '\'') {
        quote = c;
      }
    }
  }

  // Follows the element structure of the root value for flaws libplist refuses.
  void openElement(std::string_view name, std::size_t at, bool selfClosed) {
    if (!seekingFlaws()) return;
    if (!isPropertyListElement(name)) {
      return noteFlaw(at, name.empty() ? "\"<\" begins no element (a \"<\" is written \"&lt;\")"
                                       : fmt::format("unknown element <{}>", name));
    }
    OpenElement* parent = open_.empty() ? nullptr : &open_.back();
    if (parent && !isContainer(parent->name) && parent->name != "plist") {
      return noteFlaw(at, fmt::format("<{}> inside <{}>", name, parent->name));
    }
    if (parent && parent->name == "dict") {
      if (name == "key" && parent->keyPending) {
        return noteFlaw(at, "<key> after a <key> that has no value");
      }
      if (name != "key" && !parent->keyPending) {
        return noteFlaw(at, fmt::format("<{}> in a <dict> without its <key>", name));
      }
      parent->keyPending = name == "key";
    }
    if (selfClosed) {
      if (name == "key") return noteFlaw(at, "<key/> names no key");
      if (name == "plist") return noteFlaw(at, "<plist/> holds no value");
      return endValue(name, parent);
    }
    open_.push_back({name, at});
  }

  void closeElement(std::string_view name, std::size_t at) {
    if (!seekingFlaws()) return;
    if (open_.empty()) return noteFlaw(at, fmt::format("</{}> closes nothing", name));
    const OpenElement innermost = open_.back();
    if (innermost.name != name) {
      return noteFlaw(innermost.at, fmt::format("<{}> not closed before </{}> on line {}",
                                                innermost.name, name, lineAt(at)));
    }
    open_.pop_back();
    endValue(name, open_.empty() ? nullptr : &open_.back());
  }

  // The root value ends with the first value closed outside any container.
  void endValue(std::string_view name, const OpenElement* parent) {
    if (name != "plist" && name != "key" && (!parent || parent->name == "plist")) {
      rootEnded_ = true;
    }
  }

  void noteWhatIsLeftOpen() {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
      if (it->name != "plist") return noteFlaw(it->at, fmt::format("<{}> not closed", it->name));
    }
    noteFlaw(xml_.size(), "no property-list value");
  }

  // The text of the element just opened, which must be plain text up to its end tag.
  std::optional<std::string_view> scalarText(std::string_view name) const {
    const auto end = xml_.find('<', position_);
    if (end == npos) return std::nullopt;
    const auto endTag = xml_.substr(end);
    if (!endTag.starts_with("</") || !endTag.substr(2).starts_with(name)) return std::nullopt;
    const auto after = endTag.substr(2 + name.size());
    if (after.empty() || (after.front() != '>' && kXmlSpace.find(after.front()) == npos)) {
      return std::nullopt;
    }
    return xml_.substr(position_, end - position_);
  }

  bool scalarIs(std::size_t open, std::string_view name, bool (*isValid)(std::string_view),
                std::string_view kind) {
    const auto text = scalarText(name);
    if (!text) return refuse(open, fmt::format("<{}> holds more than text", name));
    if (!isValid(*text)) {
      return refuse(open, fmt::format("<{}> {} is not {}", name, excerpt(*text), kind));
    }
    return true;
  }

  // Replaces the integer's text by its decimal form in the copy handed to libplist.
  bool integer(std::size_t open) {
    const auto text = scalarText("integer");
    if (!text) return refuse(open, "<integer> holds more than text");
    const auto decimal = decimalInteger(*text);
    if (!decimal) {
      return refuse(
          open, fmt::format("<integer> {} is not an integer from -2^63 to 2^64-1", excerpt(*text)));
    }
    copied_ += xml_.substr(copiedUpTo_, position_ - copiedUpTo_);
    copied_ += *decimal;
    copiedUpTo_ = position_ + text->size();
    return true;
  }

  // Ends the text that began after the last tag; refused once entity decoding would cost too
  // much.
  bool endText(std::size_t end) {
    const std::uint64_t length = end - textStart_;
    const std::uint64_t references = textReferences_;
    textReferences_ = 0;
    if (references != 0 && length > (kMaxEntityWork - entityWork_) / references) {
      return refuse(textStart_, "too many character references to decode");
    }
    entityWork_ += references * length;
    return true;
  }

  std::string_view xml_;
  bool seekFlaws_;
  std::size_t position_ = 0;
  std::size_t textStart_ = 0;
  std::uint64_t textReferences_ = 0;
  std::uint64_t entityWork_ = 0;
  int nesting_ = 0;
  std::string copied_;  // the bytes before copiedUpTo_, integers in decimal
  std::size_t copiedUpTo_ = 0;
  std::string refusal_;
  // The flaw search.
  std::string flaw_;
  std::vector<OpenElement> open_;
  bool sawElement_ = false;
  bool rootEnded_ = false;
};

}  // namespace

Result<std::string> checkXmlPropertyList(std::string_view xml) { return XmlScan(xml, false).run(); }

std::string flawInXmlPropertyList(std::string_view xml) {
  XmlScan scan(xml, true);
  static_cast<void>(scan.run());  // only XML that passed the check is asked about
  return scan.flaw();
}

}  // namespace platform
