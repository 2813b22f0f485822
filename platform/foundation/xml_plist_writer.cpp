// Apple's XML property-list format, written here rather than by libplist 2.2.0, whose writer cuts
// strings at a NUL character, writes -0.0 as 0.0 and years before 1000 with fewer than four
// digits (which other readers refuse), and can make integers above INT64_MAX and dates outside
// 1933-2069 only by reading them. The layout is the one libplist and Apple's writer share: tabs
// for each level, empty collections self-closed, data in base64 lines of up to 76 characters
// less 8 per level, reals in 17 significant digits.
#include <fmt/format.h>

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "platform/foundation/civil_time.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_guards.h"
#include "platform/process/process.h"

namespace platform {
namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";
constexpr std::string_view kFooter = "</plist>\n";

// Nil and host objects have no property-list form: their entries are left out.
bool hasForm(const Value& value) { return !value.isNil() && !value.isObject(); }

std::string realText(double real) {
  if (std::isnan(real)) return "nan";
  if (std::isinf(real)) return real > 0 ? "+infinity" : "-infinity";
  if (real == 0) return std::signbit(real) ? "-0.0" : "0.0";
  return fmt::format("{:.17g}", real);
}

std::string dateText(const Date& date) {
  const CivilTime t = civilTime(date.secondsSinceReferenceDate);
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}Z", t.year, t.month, t.day, t.hour,
                     t.minute, t.second);
}

std::string base64(const std::vector<std::uint8_t>& bytes) {
  constexpr std::string_view kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t j = 0; j < 3; ++j) group = group << 8 | (j < count ? bytes[i + j] : 0);
    for (std::size_t j = 0; j < 4; ++j) {
      text += j <= count ? kDigits[group >> (18 - 6 * j) & 0x3F] : '=';
    }
  }
  return text;
}

class XmlWriter {
 public:
  std::string take() && { return std::move(xml_); }

  void value(const Value& value, int depth) {
    const auto& storage = value.storage();
    if (const auto* on = std::get_if<bool>(&storage))
      return line(depth, *on ? "<true/>" : "<false/>");
    if (const auto* integer = std::get_if<std::int64_t>(&storage)) {
      return element(depth, "integer", std::to_string(*integer));
    }
    if (const auto* large = std::get_if<Unsigned>(&storage)) {
      return element(depth, "integer", std::to_string(large->value));
    }
    if (const auto* real = std::get_if<double>(&storage)) {
      return element(depth, "real", realText(*real));
    }
    if (const auto* text = value.string()) return element(depth, "string", escaped(*text));
    if (const auto* data = std::get_if<Data>(&storage)) return dataElement(depth, *data);
    if (const auto* date = std::get_if<Date>(&storage))
      return element(depth, "date", dateText(*date));
    if (depth >= kMaxPropertyListNesting) {
      fatal(fmt::format("a property list nested deeper than {} levels cannot be written",
                        kMaxPropertyListNesting));
    }
    if (const auto* array = value.array()) return arrayElement(depth, *array);
    dictionaryElement(depth, *value.dictionary());
  }

 private:
  void line(int depth, std::string_view text) {
    xml_.append(depth, '\t');
    xml_ += text;
    xml_ += '\n';
  }

  void element(int depth, std::string_view name, std::string_view text) {
    line(depth, fmt::format("<{0}>{1}</{0}>", name, text));
  }

  static std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
      if (c == '&') {
        out += "&amp;";
      } else if (c == '<') {
        out += "&lt;";
      } else if (c == '>') {
        out += "&gt;";
      } else {
        out += c;
      }
    }
    return out;
  }

  void dataElement(int depth, const Data& data) {
    const std::size_t width = std::max(76 - 8 * depth, 16);
    const std::string text = base64(data.bytes);
    line(depth, "<data>");
    for (std::size_t at = 0; at < text.size(); at += width) line(depth, text.substr(at, width));
    line(depth, "</data>");
  }

  void arrayElement(int depth, const Array& array) {
    if (std::none_of(array.begin(), array.end(), hasForm)) return line(depth, "<array/>");
    line(depth, "<array>");
    for (const auto& item : array) {
      if (hasForm(item)) value(item, depth + 1);
    }
    line(depth, "</array>");
  }

  // Keys in byte order of their UTF-8, as Apple's writer sorts them: the dictionary's own order.
  void dictionaryElement(int depth, const Dictionary& dictionary) {
    const auto entryHasForm = [](const auto& entry) { return hasForm(entry.second); };
    if (std::none_of(dictionary.begin(), dictionary.end(), entryHasForm)) {
      return line(depth, "<dict/>");
    }
    line(depth, "<dict>");
    for (const auto& [key, item] : dictionary) {
      if (!hasForm(item)) continue;
      element(depth + 1, "key", escaped(key));
      value(item, depth + 1);
    }
    line(depth, "</dict>");
  }

  std::string xml_;
};

}  // namespace

std::string serializePropertyList(const Value& root) {
  if (!hasForm(root)) return {};
  XmlWriter writer;
  writer.value(root, 0);
  return std::string(kHeader) + std::move(writer).take() + std::string(kFooter);
}

}  // namespace platform
