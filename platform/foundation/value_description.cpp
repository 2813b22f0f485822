// What "%@" prints for a value. Collections use Foundation's old-style description format,
// simplified in one respect: a nested collection opens on its key's line, without the padding
// Foundation puts before it. Every level indents by four spaces:
//
//   {
//       name = Ann;
//       rules = (
//           1,
//           "two words"
//       );
//   }
//
// Strings inside collections are quoted unless they are non-empty and made of ASCII letters,
// digits and '_' only; quotes and backslashes are escaped with a backslash and line breaks are
// written as \n. Data prints in full as "{length = N, bytes = 0x...}".
#include <fmt/format.h>

#include <string>

#include "platform/foundation/civil_time.h"
#include "platform/foundation/value.h"
#include "platform/runtime/runtime.h"

namespace platform {
namespace {

constexpr int kIndentWidth = 4;

bool isPlainWord(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    const bool letterOrDigit =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letterOrDigit && c != '_') return false;
  }
  return true;
}

std::string quotedIfNeeded(std::string_view text) {
  if (isPlainWord(text)) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    if (c == '\n') {
      quoted += "\\n";
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

std::string dataDescription(const Data& data) {
  std::string hex;
  for (const auto byte : data.bytes) hex += fmt::format("{:02x}", byte);
  return fmt::format("{{length = {}, bytes = 0x{}}}", data.bytes.size(), hex);
}

std::string dateDescription(const Date& date) {
  const CivilTime t = civilTime(date.secondsSinceReferenceDate);
  return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02} +0000", t.year, t.month, t.day, t.hour,
                     t.minute, t.second);
}

std::string objectDescription(const Id& object) {
  return fmt::format("<{}: {}>", className(object), static_cast<const void*>(object.get()));
}

void describe(const Value& value, int level, bool insideCollection, std::string& out);

void describeArray(const Array& array, int level, std::string& out) {
  const std::string indent((level + 1) * kIndentWidth, ' ');
  out += "(\n";
  for (std::size_t i = 0; i < array.size(); ++i) {
    out += indent;
    describe(array[i], level + 1, true, out);
    out += i + 1 < array.size() ? ",\n" : "\n";
  }
  out += std::string(level * kIndentWidth, ' ') + ")";
}

void describeDictionary(const Dictionary& dictionary, int level, std::string& out) {
  const std::string indent((level + 1) * kIndentWidth, ' ');
  out += "{\n";
  for (const auto& [key, value] : dictionary) {
    out += indent + quotedIfNeeded(key) + " = ";
    describe(value, level + 1, true, out);
    out += ";\n";
  }
  out += std::string(level * kIndentWidth, ' ') + "}";
}

void describe(const Value& value, int level, bool insideCollection, std::string& out) {
  if (const auto* array = value.array()) return describeArray(*array, level, out);
  if (const auto* dictionary = value.dictionary())
    return describeDictionary(*dictionary, level, out);
  if (const auto* text = value.string()) {
    out += insideCollection ? quotedIfNeeded(*text) : *text;
  } else if (const auto* data = std::get_if<Data>(&value.storage())) {
    out += dataDescription(*data);
  } else if (const auto* date = std::get_if<Date>(&value.storage())) {
    out += dateDescription(*date);
  } else if (value.isObject()) {
    out += objectDescription(value.object());
  } else {
    out += value.stringValue().value_or("(null)");
  }
}

}  // namespace

std::string Value::description() const {
  std::string out;
  describe(*this, 0, false, out);
  return out;
}

}  // namespace platform
