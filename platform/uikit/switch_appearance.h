#pragma once
// UISwitch's appearance proxy for switches shown inside instances of a class:
// appearanceWhenContainedInInstancesOfClasses: with that one class, then
// setOnTintColor:. The colour stays with the class for the process's life.
#include <string>

#include "platform/runtime/runtime.h"
#include "platform/uikit/color.h"

namespace platform::uikit::UISwitch {

class Appearance {
 public:
  explicit Appearance(const Class& container) : container_(container.name()) {}
  void setOnTintColor(OptionalColor color);

 private:
  std::string container_;
};

inline Appearance appearanceWhenContainedInInstancesOfClass(const Class& container) {
  return Appearance(container);
}

// The on-tint a switch takes inside an instance of cls: the colour set for
// the nearest of cls and its superclasses, else nil (the system's colour).
OptionalColor onTintColorInside(const Class& cls);

}  // namespace platform::uikit::UISwitch
