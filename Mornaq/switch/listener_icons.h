#pragma once
// The listeners' icons, read from the settings bundle's folder: each
// listener's own picture, which shows the state it switches to. Each listener
// class keeps one cache per icon size for the life of the process.
#include <string_view>

#include "platform/activator/listener.h"

namespace mornaq {

enum class IconSize { Large, Small };

// The cached icon of that class and size; on a miss, the picture named
// `picture` ("ListenerOn") for scale is loaded and kept. A failed load keeps
// nothing, so the next call retries.
platform::activator::Icon listenerIcon(std::string_view className, std::string_view picture,
                                       IconSize size, double scale);

}  // namespace mornaq
