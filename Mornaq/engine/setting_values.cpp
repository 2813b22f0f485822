#include "Mornaq/engine/setting_values.h"

#include "common/settings_format.h"

namespace mornaq {

bool switchValue(const platform::Dictionary& settings, std::string_view key) {
  return platform::lookUp(settings, key).boolValue();
}

std::string textValue(const platform::Dictionary& settings, std::string_view key) {
  return platform::lookUp(settings, key).stringValue().value_or("");
}

std::string replyOrBusyText(std::string reply) {
  return reply.empty() ? std::string(format::kBusyText) : reply;
}

std::string delayOrDefault(std::string delay) {
  return delay.empty() ? std::string(format::kDefaultDelay) : delay;
}

}  // namespace mornaq
