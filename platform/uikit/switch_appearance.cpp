#include "platform/uikit/switch_appearance.h"

#include <map>

#include "platform/process/process.h"

namespace platform::uikit::UISwitch {
namespace {

struct OnTints {
  std::map<std::string, OptionalColor, std::less<>> byContainer;
};

}  // namespace

void Appearance::setOnTintColor(OptionalColor color) {
  Process::current().state<OnTints>().byContainer[container_] = color;
}

OptionalColor onTintColorInside(const Class& cls) {
  const auto& tints = Process::current().state<OnTints>().byContainer;
  for (const Class* c = &cls; c; c = c->superclass().get()) {
    if (auto it = tints.find(c->name()); it != tints.end()) return it->second;
  }
  return std::nullopt;
}

}  // namespace platform::uikit::UISwitch
