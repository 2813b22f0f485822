// Any bytes: reading never crashes, every text it hands out is UTF-8, and the
// same file with its line feeds turned into CR LF reads as the same cards.
#include <unicode/utf8.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/contacts/vcard_reader.h"
#include "platform/process/process.h"

namespace {

using platform::contacts::VCard;

[[noreturn]] void fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(text.size()), text.data());
  std::abort();
}

void requireUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) fail("a text that is not UTF-8", text);
  }
}

void requireUtf8(const VCard& card) {
  if (card.uid) requireUtf8(*card.uid);
  if (card.formattedName) requireUtf8(*card.formattedName);
  for (const auto& part : card.name.value_or(std::vector<std::string>{})) requireUtf8(part);
  for (const auto& phone : card.phones) {
    if (phone.type) requireUtf8(*phone.type);
    requireUtf8(phone.number);
  }
}

bool same(const VCard& a, const VCard& b) {
  const auto phones = [](const VCard& card) {
    std::vector<std::string> result;
    for (const auto& phone : card.phones) result.push_back(phone.type.value_or("") + phone.number);
    return result;
  };
  return a.uid == b.uid && a.formattedName == b.formattedName && a.name == b.name &&
         phones(a) == phones(b) && a.contentHash == b.contentHash;
}

// The cards of a text, and whether it read.
struct Read {
  std::vector<VCard> cards;
  bool ok;
};

Read readAll(std::string_view text) {
  Read read;
  read.ok = platform::contacts::forEachVCard(text, "fuzz.vcf", [&read](VCard& card) {
              read.cards.push_back(std::move(card));
            }).ok();
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One process for every input: making one per input would cost more than the read.
  static platform::Process process({.name = "fuzz", .logSink = [](std::string_view) {}});
  static const platform::ProcessScope scope(process);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto [cards, ok] = readAll(text);
  if (!ok && !cards.empty()) fail("a text that failed gave cards", text);
  for (const auto& card : cards) requireUtf8(card);

  std::string crlf;
  for (const char c : text) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  const auto again = readAll(crlf);
  if (again.ok != ok) fail("CR LF changed whether the text reads", text);
  if (again.cards.size() != cards.size()) fail("CR LF changed the number of cards", text);
  for (std::size_t i = 0; i < cards.size(); ++i) {
    if (!same(cards[i], again.cards[i])) fail("CR LF changed a card", text);
  }
  return 0;
}
