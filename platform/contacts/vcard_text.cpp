#include "platform/contacts/vcard_text.h"

#include "platform/contacts/ascii.h"

#include <fmt/format.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform::contacts {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// RFC 2045 §6.7: "=XX" is the byte XX; an "=" not followed by two hex digits
// stands for itself. Soft line breaks were joined when the lines were read.
std::string quotedPrintableDecoded(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size()) {
      const int high = hexDigit(text[i + 1]);
      const int low = hexDigit(text[i + 2]);
      if (high >= 0 && low >= 0) {
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    bytes.push_back(text[i]);
  }
  return bytes;
}

bool isUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    if (bytes[i] < 0x80) {  // most text of an address book is ASCII
      ++i;
      continue;
    }
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

// Exports labelled Latin-1 or ASCII hold Windows-1252 more often than not
// (the euro sign, curly quotes), and Windows-1252 agrees with both wherever
// they are defined, so those labels are read as it, as browsers do.
std::string_view converterName(std::string_view charset) {
  for (const std::string_view latin : {"ISO-8859-1", "ISO8859-1", "LATIN1", "US-ASCII", "ASCII"}) {
    if (equalsIgnoringAsciiCase(charset, latin)) return "windows-1252";
  }
  return charset;
}

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

Result<std::string> converted(std::string_view bytes, std::string_view charset) {
  UErrorCode status = U_ZERO_ERROR;
  const std::string name(converterName(charset));
  std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(name.c_str(), &status));
  if (U_FAILURE(status)) return Failure{fmt::format("the charset {} is not supported", charset)};
  std::vector<UChar> utf16(bytes.size() * 2 + 1);
  const auto units =
      ucnv_toUChars(converter.get(), utf16.data(), static_cast<std::int32_t>(utf16.size()),
                    bytes.data(), static_cast<std::int32_t>(bytes.size()), &status);
  std::string utf8(static_cast<std::size_t>(units) * 3, '\0');
  std::int32_t length = 0;
  u_strToUTF8(utf8.data(), static_cast<std::int32_t>(utf8.size()), &length, utf16.data(), units,
              &status);
  if (U_FAILURE(status)) return Failure{fmt::format("the text is not {}", charset)};
  utf8.resize(static_cast<std::size_t>(length));
  return utf8;
}

}  // namespace

Result<std::string> utf8Of(std::string bytes, const TextCoding& coding) {
  const bool utf8 = coding.charset.empty() || equalsIgnoringAsciiCase(coding.charset, "UTF-8") ||
                    equalsIgnoringAsciiCase(coding.charset, "UTF8");
  if (utf8 && isUtf8(bytes)) return bytes;
  if (!coding.charset.empty() && !utf8) return converted(bytes, coding.charset);
  if (coding.charset.empty() && coding.legacyDefault) return converted(bytes, "windows-1252");
  return Failure{"the text is not UTF-8"};
}

Result<std::string> decodedText(std::string_view raw, const TextCoding& coding) {
  auto text =
      utf8Of(coding.quotedPrintable ? quotedPrintableDecoded(raw) : std::string(raw), coding);
  if (!text || text->find('\\') == std::string::npos) return text;
  return unescaped(*text);
}

std::string unescaped(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      result.push_back(text[i]);
      continue;
    }
    const char escaped = text[++i];
    result.push_back(escaped == 'n' || escaped == 'N' ? '\n' : escaped);
  }
  return result;
}

}  // namespace platform::contacts
