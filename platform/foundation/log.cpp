#include "platform/foundation/log.h"

#include "platform/process/process.h"

namespace platform {

void NSLog(std::string_view line) { Process::current().log(line); }

std::string orNull(const std::optional<std::string>& text) { return text ? *text : "(null)"; }

}  // namespace platform
