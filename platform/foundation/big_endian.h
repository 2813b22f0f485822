#pragma once
// Unsigned big-endian integers inside bytes, as binary property lists store every number.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// The `width` bytes (at most 8) at `at`, which the caller has checked lie inside `bytes`.
inline std::uint64_t readBigEndian(std::string_view bytes, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  }
  return value;
}

}  // namespace platform
