#pragma once
// CydiaSubstrate's method replacement.
#include <functional>
#include <string_view>
#include <type_traits>

#include "platform/runtime/runtime.h"

namespace platform {

// Replaces the method selector of cls with replacement and hands back the one
// it replaced through previous (filled before the replacement can be called).
// A missing class or selector is ignored. A replacement whose signature
// differs from the method's is a programming error. The signature is taken
// from previous, so a lambda serves as the replacement.
template <class R, class... A>
void MSHookMessageEx(const ClassRef& cls, std::string_view selector,
                     std::type_identity_t<std::function<R(Id, A...)>> replacement,
                     std::function<R(Id, A...)>* previous) {
  if (!cls) return;
  const Method* existing = cls->findMethod(selector);
  if (!existing) return;
  const auto* implementation = existing->as<R(Id, A...)>();
  if (!implementation) {
    wrongSignature(cls, selector, typeid(R(Id, A...)), existing->signature());
  }
  *previous = *implementation;
  cls->setMethod(selector, Method(std::move(replacement)));
}

}  // namespace platform
