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
// end it elsewhere than this scan does.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

bool isRealText(std::string_view text) {
  text = trimmed(text);
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return false;
  }
  double real = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), real);
  // Out of range still names a number (an infinity or a zero), as strtod reads it.
  return end == text.data() + text.size() &&
         (error == std::errc() || error == std::errc::result_out_of_range);
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

class XmlScan {
 public:
  explicit XmlScan(std::string_view xml) : xml_(xml) { copied_.reserve(xml.size()); }

  std::optional<std::string> run() {
    while (position_ < xml_.size()) {
      const auto open = xml_.find('<', position_);
      countReferences(open);
      if (open == npos) break;
      if (!skipMarkup(open)) return std::nullopt;
    }
    if (!endText(xml_.size())) return std::nullopt;
    copied_ += xml_.substr(copiedUpTo_);
    return std::move(copied_);
  }

 private:
  void countReferences(std::size_t textEnd) {
    const auto end = std::min(textEnd, xml_.size());
    textReferences_ += std::count(xml_.begin() + position_, xml_.begin() + end, '&');
  }

  bool skipMarkup(std::size_t open) {
    const auto markup = xml_.substr(open);
    if (markup.starts_with("<!--")) return skipPast("-->", open + 4);
    if (markup.starts_with("<![CDATA[")) return skipPast("]]>", open + 9);
    if (markup.starts_with("<?")) return skipPast("?>", open + 2);
    if (markup.starts_with("<!")) return skipDeclaration(open);
    return element(open);
  }

  bool skipPast(std::string_view terminator, std::size_t from) {
    const auto end = xml_.find(terminator, from);
    if (end == npos) return false;
    position_ = end + terminator.size();
    return true;
  }

  bool skipDeclaration(std::size_t open) {
    const auto end = xml_.find_first_of("[>", open);
    if (end == npos || xml_[end] == '[') return false;
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
    if (close == npos || !endText(open)) return false;
    const auto tag = xml_.substr(open + 1, close - open - 1);
    position_ = textStart_ = close + 1;

    const bool closing = tag.starts_with('/');
    const auto body = closing ? tag.substr(1) : tag;
    const auto name = body.substr(0, body.find_first_of(" \t\r\n/"));
    const bool empty = tag.ends_with('/');
    if (closing) {
      if (isContainer(name) && nesting_ > 0) --nesting_;
      return true;
    }
    if (isContainer(name)) return empty || ++nesting_ <= kMaxPropertyListNesting;
    if (empty) return !isScalar(name);
    if (name == "integer") return integer();
    if (name == "real") return scalarIs(name, isRealText);
    if (name == "date") return scalarIs(name, isDateText);
    return true;
  }

  static bool isScalar(std::string_view name) {
    return name == "integer" || name == "real" || name == "date";
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

  bool scalarIs(std::string_view name, bool (*isValid)(std::string_view)) const {
    const auto text = scalarText(name);
    return text && isValid(*text);
  }

  // Replaces the integer's text by its decimal form in the copy handed to libplist.
  bool integer() {
    const auto text = scalarText("integer");
    const auto decimal = text ? decimalInteger(*text) : std::nullopt;
    if (!decimal) return false;
    copied_ += xml_.substr(copiedUpTo_, position_ - copiedUpTo_);
    copied_ += *decimal;
    copiedUpTo_ = position_ + text->size();
    return true;
  }

  // Ends the text that began after the last tag; false once entity decoding would cost too much.
  bool endText(std::size_t end) {
    const std::uint64_t length = end - textStart_;
    const std::uint64_t references = textReferences_;
    textReferences_ = 0;
    if (references != 0 && length > (kMaxEntityWork - entityWork_) / references) return false;
    entityWork_ += references * length;
    return true;
  }

  std::string_view xml_;
  std::size_t position_ = 0;
  std::size_t textStart_ = 0;
  std::uint64_t textReferences_ = 0;
  std::uint64_t entityWork_ = 0;
  int nesting_ = 0;
  std::string copied_;  // the bytes before copiedUpTo_, integers in decimal
  std::size_t copiedUpTo_ = 0;
};

}  // namespace

std::optional<std::string> safeXmlPropertyList(std::string_view xml) { return XmlScan(xml).run(); }

}  // namespace platform
