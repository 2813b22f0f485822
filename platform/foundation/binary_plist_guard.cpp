// The shape of a binary property list, read before libplist follows it. The list is a table of
// objects that name each other by index; libplist expands every reference into a node of its
// own, recursively. So this walks the references once, iteratively and with memos, to bound the
// nesting and the number of nodes the expansion makes (a container shared at every level of a
// chain of 30 doubles it 30 times), and to reject cycles and references out of range.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "platform/foundation/big_endian.h"
#include "platform/foundation/plist_guards.h"

namespace platform {
namespace {

constexpr std::size_t kHeaderSize = 8;    // "bplist00"
constexpr std::size_t kTrailerSize = 32;  // sizes and positions, at the end
constexpr std::uint64_t kMaxNodesPerByte = 2;

struct Trailer {
  std::size_t offsetWidth = 0;
  std::size_t referenceWidth = 0;
  std::uint64_t objectCount = 0;
  std::uint64_t topObject = 0;
  std::uint64_t offsetTable = 0;
};

Result<Trailer> readTrailer(std::string_view bytes) {
  if (bytes.size() < kHeaderSize + kTrailerSize) {
    return Failure{fmt::format("the binary property list is cut short at {} bytes", bytes.size())};
  }
  const auto at = bytes.size() - kTrailerSize;
  const Trailer trailer{.offsetWidth = static_cast<std::uint8_t>(bytes[at + 6]),
                        .referenceWidth = static_cast<std::uint8_t>(bytes[at + 7]),
                        .objectCount = readBigEndian(bytes, at + 8, 8),
                        .topObject = readBigEndian(bytes, at + 16, 8),
                        .offsetTable = readBigEndian(bytes, at + 24, 8)};
  const bool widthsValid = trailer.offsetWidth >= 1 && trailer.offsetWidth <= 8 &&
                           trailer.referenceWidth >= 1 && trailer.referenceWidth <= 8;
  const bool tableFits = widthsValid && trailer.offsetTable >= kHeaderSize &&
                         trailer.offsetTable <= at &&
                         trailer.objectCount <= (at - trailer.offsetTable) / trailer.offsetWidth;
  if (!tableFits || trailer.topObject >= trailer.objectCount) {
    return Failure{"the binary property list's trailer is damaged or cut off"};
  }
  return trailer;
}

class BinaryShape {
 public:
  BinaryShape(std::string_view bytes, const Trailer& trailer)
      : bytes_(bytes),
        trailer_(trailer),
        objectsEnd_(bytes.size() - kTrailerSize),
        maxNodes_(kMaxNodesPerByte * bytes.size()),
        state_(trailer.objectCount, State::Unseen),
        nesting_(trailer.objectCount, 0),
        nodes_(trailer.objectCount, 0) {}

  Result<> check() {
    if (!open(trailer_.topObject)) return Failure{std::move(problem_)};
    while (!stack_.empty()) {
      Frame& frame = stack_.back();
      if (frame.next == frame.children.size()) {
        if (!close(frame)) return Failure{std::move(problem_)};
        stack_.pop_back();
        continue;
      }
      const auto child = frame.children[frame.next++];
      if (state_[child] == State::Open) {
        return Failure{fmt::format("the binary property list's object {} contains itself", child)};
      }
      if (state_[child] == State::Unseen && !open(child)) return Failure{std::move(problem_)};
    }
    return {};
  }

 private:
  enum class State : std::uint8_t { Unseen, Open, Done };
  struct Frame {
    std::uint64_t object;
    std::vector<std::uint64_t> children;
    std::size_t next = 0;
  };

  bool fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
  }

  // Starts on an object: a scalar is done at once, a container waits for its children.
  bool open(std::uint64_t object) {
    const auto at = offsetOf(object);
    if (!at) return outside(object);
    const auto kind = static_cast<std::uint8_t>(bytes_[*at]) >> 4;
    const bool isContainer = kind == 0xA || kind == 0xC || kind == 0xD;  // array, set, dictionary
    if (!isContainer) {
      state_[object] = State::Done;
      nodes_[object] = 1;
      return true;
    }
    if (stack_.size() >= static_cast<std::size_t>(kMaxPropertyListNesting)) return tooDeep();
    const bool isDictionary = kind == 0xD;
    auto children = referencesOf(object, *at, isDictionary ? 2 : 1);
    if (!children) return false;
    if (isDictionary && !keysAreText(*children)) {
      return fail(
          fmt::format("the binary property list's dictionary {} has a key that is not "
                      "text, or text with a NUL character",
                      object));
    }
    state_[object] = State::Open;
    stack_.push_back({object, std::move(*children)});
    return true;
  }

  bool close(const Frame& frame) {
    int nesting = 0;
    std::uint64_t nodes = 1;
    for (const auto child : frame.children) {
      nesting = std::max(nesting, nesting_[child]);
      nodes += nodes_[child];  // each at most maxNodes_, itself far below 2^63
      if (nodes > maxNodes_) {
        return fail(fmt::format(
            "the binary property list's shared objects expand to more than {} values", maxNodes_));
      }
    }
    nesting_[frame.object] = nesting + 1;
    nodes_[frame.object] = nodes;
    state_[frame.object] = State::Done;
    return nesting + 1 <= kMaxPropertyListNesting || tooDeep();
  }

  bool tooDeep() {
    return fail(fmt::format("the binary property list is nested deeper than {} levels",
                            kMaxPropertyListNesting));
  }

  bool outside(std::uint64_t object) {
    return fail(fmt::format("the binary property list's object {} lies outside it", object));
  }

  // A dictionary's references: its keys, then its values. Keys must be text without NUL
  // characters: libplist 2.2.0 fails an assertion when it hands out any other key.
  bool keysAreText(const std::vector<std::uint64_t>& references) const {
    for (std::size_t i = 0; i < references.size() / 2; ++i) {
      if (!isTextWithoutNul(references[i])) return false;
    }
    return true;
  }

  bool isTextWithoutNul(std::uint64_t object) const {
    const auto at = offsetOf(object);
    if (!at) return false;
    const auto kind = static_cast<std::uint8_t>(bytes_[*at]) >> 4;
    const std::size_t unitWidth = kind == 0x5 ? 1 : kind == 0x6 ? 2 : 0;  // ASCII, UTF-16
    const auto content = unitWidth == 0 ? std::nullopt : contentOf(*at);
    if (!content || content->count > (objectsEnd_ - content->start) / unitWidth) return false;
    const auto text = bytes_.substr(content->start, content->count * unitWidth);
    for (std::size_t unit = 0; unit < text.size(); unit += unitWidth) {
      if (text.substr(unit, unitWidth).find_first_not_of('\0') == std::string_view::npos) {
        return false;
      }
    }
    return true;
  }

  std::optional<std::size_t> offsetOf(std::uint64_t object) const {
    const auto offset = readBigEndian(bytes_, trailer_.offsetTable + object * trailer_.offsetWidth,
                                      trailer_.offsetWidth);
    if (offset < kHeaderSize || offset >= objectsEnd_) return std::nullopt;
    return offset;
  }

  struct Content {
    std::uint64_t count;  // entries, or characters
    std::size_t start;
  };

  // The count of the object at `at` (the low four bits of its marker, or the integer object that
  // follows when they are all ones) and where its entries or characters start.
  std::optional<Content> contentOf(std::size_t at) const {
    const std::uint64_t count = static_cast<std::uint8_t>(bytes_[at]) & 0x0F;
    const std::size_t position = at + 1;
    if (count != 0x0F) return Content{count, position};
    if (position >= objectsEnd_) return std::nullopt;
    const auto countMarker = static_cast<std::uint8_t>(bytes_[position]);
    const std::size_t width = std::size_t{1} << (countMarker & 0x0F);
    if (countMarker >> 4 != 0x1 || width > 8 || width > objectsEnd_ - position - 1) {
      return std::nullopt;
    }
    return Content{readBigEndian(bytes_, position + 1, width), position + 1 + width};
  }

  // The object references of the container object, found at `at`.
  std::optional<std::vector<std::uint64_t>> referencesOf(std::uint64_t object, std::size_t at,
                                                         std::uint64_t referencesPerEntry) {
    const auto content = contentOf(at);
    const auto room =
        content ? (objectsEnd_ - content->start) / trailer_.referenceWidth / referencesPerEntry : 0;
    if (!content || content->count > room) {
      fail(fmt::format("the binary property list's object {} runs past the end of its objects",
                       object));
      return std::nullopt;
    }
    std::vector<std::uint64_t> references(content->count * referencesPerEntry);
    std::size_t position = content->start;
    for (auto& reference : references) {
      reference = readBigEndian(bytes_, position, trailer_.referenceWidth);
      position += trailer_.referenceWidth;
      if (reference >= trailer_.objectCount) {
        fail(fmt::format("the binary property list's object {} refers to object {} of {}", object,
                         reference, trailer_.objectCount));
        return std::nullopt;
      }
    }
    return references;
  }

  std::string_view bytes_;
  Trailer trailer_;
  std::size_t objectsEnd_;
  std::uint64_t maxNodes_;
  std::vector<State> state_;
  std::vector<int> nesting_;          // of each finished object
  std::vector<std::uint64_t> nodes_;  // of each finished object, once expanded
  std::vector<Frame> stack_;
  std::string problem_;  // why the check failed
};

}  // namespace

Result<> checkBinaryPropertyList(std::string_view bytes) {
  const auto trailer = readTrailer(bytes);
  PLATFORM_TRY(trailer);
  return BinaryShape(bytes, *trailer).check();
}

}  // namespace platform
