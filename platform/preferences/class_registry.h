#pragma once
// The classes that settings bundles bring into a process, by name, so that a
// row's detail (a class name) opens its page and a group's headerCellClass
// makes its header view. On the phone the runtime learns a bundle's classes
// when the bundle is loaded; here the bundle registers them, as C++ types
// behind runtime classes, into the current process.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/runtime.h"

namespace platform::preferences {

// Defines PSListController in a process's runtime; the Settings app calls it
// at start, after uikit::registerClasses.
void registerClasses(Runtime& runtime);

using Allocator = std::function<Id(const Class* cls)>;

// Defines class name, a subclass of superclassName, in the current process's
// runtime and remembers how to make one and which bundle folder (a device
// path) holds its resources. A class the process knows already stays as it
// is, so that a bundle may register its classes each time it is opened.
ClassRef registerBundleClass(std::string_view name, std::string_view superclassName,
                             std::string_view bundlePath, Allocator allocate);

template <class T>
ClassRef registerBundleClass(std::string_view name, std::string_view superclassName,
                             std::string_view bundlePath) {
  return registerBundleClass(name, superclassName, bundlePath,
                             [](const Class* cls) -> Id { return std::make_shared<T>(cls); });
}

// A new instance of a registered class (alloc, then the plain init); nil when
// the process has no bundle class of that name.
Id allocateInstance(std::string_view name);

// The same, as a T; nullptr also when the class is not a T.
template <class T>
std::shared_ptr<T> allocate(std::string_view name) {
  return std::dynamic_pointer_cast<T>(allocateInstance(name));
}

// bundleForClass: the folder of the bundle that registered cls.
std::optional<std::string> bundlePathForClass(const Class& cls);

// A method of a bundle class that a button or bar button calls by selector:
// "Reddit" takes nothing, "addNewStatement:" takes the sender.
template <class T>
void addAction(Class& cls, std::string_view selector, void (T::*method)()) {
  cls.addMethod<void>(selector, [method](Id self) { (as<T>(self).*method)(); });
}
template <class T>
void addAction(Class& cls, std::string_view selector, void (T::*method)(const Id& sender)) {
  cls.addMethod<void, Id>(selector,
                          [method](Id self, Id sender) { (as<T>(self).*method)(sender); });
}

}  // namespace platform::preferences
