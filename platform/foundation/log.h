#pragma once
// The platform log (NSLog). Each line goes to the current process's log sink;
// the default sink prints a time stamp, the process name and pid, then the
// line, to standard error. Message text is always an argument, never a format.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

using LogSink = std::function<void(std::string_view line)>;

void NSLog(std::string_view line);

// "%d" of a switch.
inline int flag(bool on) { return on ? 1 : 0; }
// "%@" of a nullable text: the text, or "(null)".
std::string orNull(const std::optional<std::string>& text);

}  // namespace platform
