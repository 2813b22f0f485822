#pragma once
// The LAListener protocol: what the gesture library asks of a listener it
// has registered. Listeners are objects of runtime classes that the add-on
// defines, so every call is a message send; the methods must be implemented
// with exactly these signatures.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/runtime.h"
#include "platform/uikit/image.h"

namespace platform::activator {

using Text = std::optional<std::string>;  // an NSString that may be nil
using Icon = std::shared_ptr<const uikit::UIImage>;

inline constexpr std::string_view kReceiveEvent = "activator:receiveEvent:";
inline constexpr std::string_view kRequiresLocalizedTitle =
    "activator:requiresLocalizedTitleForListenerName:";
inline constexpr std::string_view kRequiresLocalizedDescription =
    "activator:requiresLocalizedDescriptionForListenerName:";
inline constexpr std::string_view kRequiresIcon = "activator:requiresIconForListenerName:scale:";
inline constexpr std::string_view kRequiresSmallIcon =
    "activator:requiresSmallIconForListenerName:scale:";

using ReceiveEvent = std::function<void(Id self, Id activator, Id event)>;
using RequiresText = std::function<Text(Id self, Id activator, std::string listenerName)>;
using RequiresIcon =
    std::function<Icon(Id self, Id activator, std::string listenerName, double scale)>;

inline void activatorReceiveEvent(const Id& listener, const Id& activator, const Id& event) {
  send<void>(listener, kReceiveEvent, activator, event);
}

// The title, description and icon methods are optional: a listener without
// one answers nothing.
inline Text activatorRequiresLocalizedTitleForListenerName(const Id& listener, const Id& activator,
                                                           const std::string& listenerName) {
  if (!respondsToSelector(listener, kRequiresLocalizedTitle)) return std::nullopt;
  return send<Text>(listener, kRequiresLocalizedTitle, activator, listenerName);
}

inline Text activatorRequiresLocalizedDescriptionForListenerName(const Id& listener,
                                                                 const Id& activator,
                                                                 const std::string& listenerName) {
  if (!respondsToSelector(listener, kRequiresLocalizedDescription)) return std::nullopt;
  return send<Text>(listener, kRequiresLocalizedDescription, activator, listenerName);
}

inline Icon activatorRequiresIconForListenerName(const Id& listener, const Id& activator,
                                                 const std::string& listenerName, double scale) {
  if (!respondsToSelector(listener, kRequiresIcon)) return nullptr;
  return send<Icon>(listener, kRequiresIcon, activator, listenerName, scale);
}

inline Icon activatorRequiresSmallIconForListenerName(const Id& listener, const Id& activator,
                                                      const std::string& listenerName,
                                                      double scale) {
  if (!respondsToSelector(listener, kRequiresSmallIcon)) return nullptr;
  return send<Icon>(listener, kRequiresSmallIcon, activator, listenerName, scale);
}

}  // namespace platform::activator
