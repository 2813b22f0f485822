#pragma once
// The add-on's write of a settings file: the platform's locked update, and a
// failure logged with the add-on's prefix and its reason before the caller
// decides what else it means.
#include <fmt/format.h>

#include <string_view>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"

namespace mornaq {

inline platform::Result<> writeSettings(std::string_view path,
                                        const platform::PlistChange& change) {
  auto written = platform::updatePlist(path, change);
  if (!written)
    platform::NSLog(fmt::format("[Mornaq] could not write {}: {}", path, written.reason()));
  return written;
}

}  // namespace mornaq
