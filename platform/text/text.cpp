#include "platform/text/text.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <deque>
#include <map>

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

bool isAscii(std::string_view text) {
  // Iterator algorithms, not ranges: the phone's standard library has no range algorithms.
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A match must end on a character boundary: "cafe" is not in "café", whose
// decomposed form continues the "e" with a combining accent.
bool endsOnCharacterBoundary(std::string_view text, std::size_t end) {
  if (end >= text.size()) return true;
  UChar32 next = 0;
  U8_NEXT(text.data(), end, text.size(), next);
  return u_getCombiningClass(next) == 0;
}

// Finds many needles in one pass over a text (Aho-Corasick): a trie of the
// needles whose every node also knows the longest proper suffix of its path
// that is in the trie (fail) and the nearest node on that suffix chain, itself
// included, where a needle ends (output).
class NeedleAutomaton {
 public:
  explicit NeedleAutomaton(std::span<const std::string_view> needles) {
    nodes_.emplace_back();
    for (std::size_t i = 0; i < needles.size(); ++i) {
      if (needles[i].empty()) continue;  // found in nothing
      int node = 0;
      for (const char unit : needles[i]) {
        const auto [child, added] = nodes_[node].next.try_emplace(unit, int(nodes_.size()));
        node = child->second;
        if (added) nodes_.emplace_back();
      }
      nodes_[node].needles.push_back(i);
    }
    linkSuffixes();
  }

  // For each needle, whether it ends somewhere on a character boundary.
  std::vector<bool> foundIn(std::string_view text, std::size_t needleCount) const {
    std::vector<bool> found(needleCount), reported(nodes_.size());
    int node = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
      node = step(node, text[at]);
      const int output = nodes_[node].output;
      if (output == 0 || reported[output] || !endsOnCharacterBoundary(text, at + 1)) continue;
      // Everything on the chain of a reported node was reported with it.
      for (int end = output; end != 0 && !reported[end]; end = nodes_[nodes_[end].fail].output) {
        reported[end] = true;
        for (const std::size_t needle : nodes_[end].needles) found[needle] = true;
      }
    }
    return found;
  }

 private:
  struct Node {
    std::map<char, int> next;
    int fail = 0;
    int output = 0;  // 0: no needle ends on the chain
    std::vector<std::size_t> needles;
  };

  // The node after reading unit in node: the longest suffix of the text read
  // so far that is a path of the trie.
  int step(int node, char unit) const {
    for (;;) {
      if (const auto child = nodes_[node].next.find(unit); child != nodes_[node].next.end()) {
        return child->second;
      }
      if (node == 0) return 0;
      node = nodes_[node].fail;
    }
  }

  // Breadth first, so that a node's fail target is linked before the node.
  void linkSuffixes() {
    std::deque<int> pending;
    for (const auto& [unit, child] : nodes_[0].next) pending.push_back(child);
    while (!pending.empty()) {
      const int node = pending.front();
      pending.pop_front();
      Node& current = nodes_[node];
      current.output = current.needles.empty() ? nodes_[current.fail].output : node;
      for (const auto& [unit, child] : current.next) {
        nodes_[child].fail = node == 0 ? 0 : step(current.fail, unit);
        pending.push_back(child);
      }
    }
  }

  std::vector<Node> nodes_;
};

}  // namespace

FoldedText::FoldedText(std::string_view text) {
  // Folding leaves ASCII ASCII, with capitals made small, and it decomposes
  // nothing: the common case needs no conversion through ICU.
  if (isAscii(text)) {
    folded_.resize(text.size());
    std::transform(text.begin(), text.end(), folded_.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return;
  }
  folded(text).toUTF8String(folded_);
}

bool FoldedText::contains(const FoldedText& needle) const {
  const std::string_view text = folded_, wanted = needle.folded_;
  if (wanted.empty()) return false;
  for (auto at = text.find(wanted); at != text.npos; at = text.find(wanted, at + 1)) {
    if (endsOnCharacterBoundary(text, at + wanted.size())) return true;
  }
  return false;
}

std::vector<bool> containedIn(const FoldedText& haystack, std::span<const FoldedText> needles) {
  std::vector<std::string_view> wanted;
  std::size_t wantedLength = 0;
  for (const auto& needle : needles) {
    wanted.push_back(needle.folded_);
    wantedLength += needle.folded_.size();
  }
  // A trie node costs about as much to build as a few dozen units cost to
  // compare: a short text is scanned once per needle instead.
  const std::size_t textLength = haystack.folded_.size();
  if (textLength * needles.size() <= 32 * (wantedLength + textLength)) {
    std::vector<bool> found;
    for (const auto& needle : needles) found.push_back(haystack.contains(needle));
    return found;
  }
  return NeedleAutomaton(wanted).foundIn(haystack.folded_, needles.size());
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
  return FoldedText(haystack).contains(FoldedText(needle));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return FoldedText(a) == FoldedText(b);
}

std::string composed(std::string_view text) {
  // ASCII composes with nothing: the common case needs no conversion through ICU.
  if (isAscii(text)) return std::string(text);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return std::string(text);
  const icu::UnicodeString normalized = nfc->normalize(
      icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size())), status);
  if (U_FAILURE(status)) return std::string(text);
  std::string result;
  normalized.toUTF8String(result);
  return result;
}

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

void NameCollator::appendSortKey(std::string_view name, std::string& keys) const {
  const icu::UnicodeString s =
      icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), name.size()));
  const std::size_t start = keys.size();
  keys.resize(start + 64);
  for (;;) {
    const auto room = static_cast<int32_t>(keys.size() - start);
    const int32_t needed =
        impl_->collator->getSortKey(s, reinterpret_cast<uint8_t*>(keys.data() + start), room);
    if (needed <= room) {
      keys.resize(start + (needed > 0 ? needed - 1 : 0));  // drop the terminating zero
      return;
    }
    keys.resize(start + needed);
  }
}

}  // namespace platform::text
