#include "platform/text/text.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "platform/process/process.h"

namespace platform::text {
namespace {

// Full case folding, then canonical decomposition: two texts that differ only
// in case or in canonically equivalent spelling have the same folded form.
icu::UnicodeString folded(std::string_view text) {
  icu::UnicodeString s = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size()));
  s.foldCase(U_FOLD_CASE_DEFAULT);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  if (U_FAILURE(status)) return s;
  icu::UnicodeString normalized = nfd->normalize(s, status);
  return U_SUCCESS(status) ? normalized : s;
}

// A match must end on a character boundary: "cafe" is not in "café", whose
// decomposed form continues the "e" with a combining accent.
bool endsOnCharacterBoundary(const icu::UnicodeString& text, int32_t end) {
  return end >= text.length() || u_getCombiningClass(text.char32At(end)) == 0;
}

}  // namespace

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return false;
  const icu::UnicodeString text = folded(haystack);
  const icu::UnicodeString wanted = folded(needle);
  for (int32_t at = text.indexOf(wanted); at >= 0; at = text.indexOf(wanted, at + 1)) {
    if (endsOnCharacterBoundary(text, at + wanted.length())) return true;
  }
  return false;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) { return folded(a) == folded(b); }

struct NameCollator::Impl {
  std::unique_ptr<icu::Collator> collator;
};

// The user's locale. A machine set to the C locale gives ICU "en_US_POSIX",
// whose order puts every capital before every small letter; the root order
// is what a user of no particular language expects.
icu::Locale userLocale() {
  const icu::Locale& locale = icu::Locale::getDefault();
  return std::string_view(locale.getName()) == "en_US_POSIX" ? icu::Locale::getRoot() : locale;
}

NameCollator::NameCollator(const std::string& locale) : impl_(std::make_unique<Impl>()) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale where = locale.empty() ? userLocale() : icu::Locale(locale.c_str());
  impl_->collator.reset(icu::Collator::createInstance(where, status));
  if (U_FAILURE(status) || !impl_->collator) fatal("no collator for the user's locale");
  // Secondary strength: accents count, case does not.
  impl_->collator->setStrength(icu::Collator::SECONDARY);
}

NameCollator::~NameCollator() = default;

int NameCollator::compare(std::string_view a, std::string_view b) const {
  UErrorCode status = U_ZERO_ERROR;
  return impl_->collator->compareUTF8(icu::StringPiece(a.data(), a.size()),
                                      icu::StringPiece(b.data(), b.size()), status);
}

std::string NameCollator::sortKey(std::string_view name) const {
  const icu::UnicodeString s = icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), name.size()));
  std::string key(64, '\0');
  for (;;) {
    const int32_t needed = impl_->collator->getSortKey(
        s, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    if (needed <= static_cast<int32_t>(key.size())) {
      key.resize(needed > 0 ? needed - 1 : 0);  // drop the terminating zero
      return key;
    }
    key.resize(needed);
  }
}

}  // namespace platform::text
