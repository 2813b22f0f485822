#include "platform/runtime/runtime.h"

#include <cxxabi.h>
#include <fmt/format.h>

#include <cstdlib>

namespace platform {

std::string demangledName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

Class::Class(std::string name, ClassRef superclass, bool isMetaclass)
    : Object(nullptr), name_(std::move(name)), superclass_(std::move(superclass)) {
  if (isMetaclass) return;
  ClassRef superMeta;
  if (superclass_) superMeta = std::static_pointer_cast<Class>(superclass_->metaclass_);
  metaclass_ = std::make_shared<Class>(name_, superMeta, true);
  setIsa(metaclass_.get());
}

const Method* Class::findMethod(std::string_view selector) const {
  for (const Class* c = this; c; c = c->superclass_.get()) {
    std::lock_guard lock(c->mutex_);
    if (auto it = c->methods_.find(selector); it != c->methods_.end()) return &it->second;
  }
  return nullptr;
}

void Class::setMethod(std::string_view selector, Method method) {
  std::lock_guard lock(mutex_);
  methods_.insert_or_assign(std::string(selector), std::move(method));
}

Runtime::Runtime() { defineClass("NSObject", ""); }

ClassRef Runtime::defineClass(std::string_view name, std::string_view superclassName) {
  ClassRef superclass;
  if (!superclassName.empty()) {
    superclass = lookUpClass(superclassName);
    if (!superclass) fatal(fmt::format("class {}: no superclass {}", name, superclassName));
  }
  std::lock_guard lock(mutex_);
  if (classes_.count(name)) fatal(fmt::format("class {} defined twice", name));
  auto cls = std::make_shared<Class>(std::string(name), superclass);
  classes_.emplace(std::string(name), cls);
  return cls;
}

ClassRef Runtime::lookUpClass(std::string_view name) const {
  std::lock_guard lock(mutex_);
  auto it = classes_.find(name);
  return it == classes_.end() ? nullptr : it->second;
}

Id Runtime::createInstance(const ClassRef& cls) { return std::make_shared<Object>(cls.get()); }

bool respondsToSelector(const Id& receiver, std::string_view selector) {
  return receiver && receiver->isa()->findMethod(selector) != nullptr;
}

std::string className(const Id& receiver) {
  return receiver ? receiver->isa()->name() : std::string("nil");
}

void unrecognizedSelector(const Id& receiver, std::string_view selector) {
  fatal(fmt::format("-[{} {}]: unrecognized selector sent to instance", className(receiver),
                    selector));
}

void wrongSignature(const Id& receiver, std::string_view selector, const std::type_info& sent,
                    const std::type_info& implemented) {
  fatal(fmt::format("-[{} {}]: sent with signature {} but implemented as {}", className(receiver),
                    selector, demangledName(sent), demangledName(implemented)));
}

}  // namespace platform
