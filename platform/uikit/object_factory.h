#pragma once
// Creating a host object of a registered class in the current process.
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/process/process.h"
#include "platform/runtime/runtime.h"

namespace platform::uikit {

// A new T whose class is the runtime class className, made with the class
// and args; the class must have been registered in the current process
// (UIKit's registerClasses, or an app's own).
template <class T, class... A>
std::shared_ptr<T> makeObject(std::string_view className, A&&... args) {
  ClassRef cls = Process::current().runtime().lookUpClass(className);
  if (!cls) fatal(std::string(className) + " is not registered in this process");
  return std::make_shared<T>(cls.get(), std::forward<A>(args)...);
}

}  // namespace platform::uikit
