#include "platform/preferences/class_registry.h"

#include <map>

#include "platform/preferences/list_controller.h"
#include "platform/process/process.h"

namespace platform::preferences {
namespace {

struct BundleClass {
  Allocator allocate;
  std::string bundlePath;
  ClassRef cls;
};

struct BundleClasses {
  std::map<std::string, BundleClass, std::less<>> byName;
};

BundleClasses& bundleClasses() { return Process::current().state<BundleClasses>(); }

}  // namespace

void registerClasses(Runtime& runtime) {
  auto listController = runtime.defineClass("PSListController", "UIViewController");
  listController->addMethod<Value, SpecifierRef>(
      kReadPreferenceValue, [](Id self, SpecifierRef row) {
        return as<PSListController>(self).readPreferenceValue(row);
      });
  listController->addMethod<void, Value, SpecifierRef>(
      kSetPreferenceValue, [](Id self, Value value, SpecifierRef row) {
        as<PSListController>(self).setPreferenceValue(value, row);
      });
}

ClassRef registerBundleClass(std::string_view name, std::string_view superclassName,
                             std::string_view bundlePath, Allocator allocate) {
  auto& classes = bundleClasses().byName;
  if (auto known = classes.find(name); known != classes.end()) return known->second.cls;
  ClassRef cls = Process::current().runtime().defineClass(name, superclassName);
  classes.emplace(std::string(name),
                  BundleClass{std::move(allocate), std::string(bundlePath), cls});
  return cls;
}

Id allocateInstance(std::string_view name) {
  const auto& classes = bundleClasses().byName;
  auto known = classes.find(name);
  if (known == classes.end()) return nullptr;
  return known->second.allocate(known->second.cls.get());
}

std::optional<std::string> bundlePathForClass(const Class& cls) {
  const auto& classes = bundleClasses().byName;
  auto known = classes.find(cls.name());
  if (known == classes.end()) return std::nullopt;
  return known->second.bundlePath;
}

}  // namespace platform::preferences
