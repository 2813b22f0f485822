// Any bytes: reading never crashes, and what reads writes out in a form that reads back and writes
// out identically (text equality stands for value equality, which NaN would break, and allows
// for what the XML form cannot keep: fractions of a second, dates outside years 1 to 9999).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/foundation/plist_codec.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& xml) {
  std::fprintf(stderr, "%s:\n%s\n", what, xml.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto value = platform::parsePropertyList(bytes);
  if (!value) return 0;
  const std::string xml = platform::serializePropertyList(*value);
  const auto again = platform::parsePropertyList(xml);
  if (!again) fail(("the written form does not read back: " + again.reason()).c_str(), xml);
  if (platform::serializePropertyList(*again) != xml)
    fail("the written form changed on a second round", xml);
  return 0;
}
