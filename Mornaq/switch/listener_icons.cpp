#include "Mornaq/switch/listener_icons.h"

#include <fmt/format.h>

#include <map>
#include <string>
#include <utility>

#include "common/settings_format.h"
#include "platform/process/process.h"

namespace mornaq {
namespace {

using platform::activator::Icon;

struct IconCaches {
  std::map<std::pair<std::string, IconSize>, Icon> icons;
};

// The large picture ("@3x") is the one asked for at scale 2.0 exactly; every
// other scale gets the plain one. Once cached, an icon serves every scale.
std::string iconPath(std::string_view picture, double scale) {
  return fmt::format("{}/{}{}.png", format::kBundlePath, picture, scale == 2.0 ? "@3x" : "");
}

}  // namespace

Icon listenerIcon(std::string_view className, std::string_view picture, IconSize size,
                  double scale) {
  auto& caches = platform::Process::current().state<IconCaches>();
  Icon& cached = caches.icons[{std::string(className), size}];
  if (!cached) cached = platform::uikit::UIImage::initWithContentsOfFile(iconPath(picture, scale));
  return cached;
}

}  // namespace mornaq
