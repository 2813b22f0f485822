#include "platform/runtime/runtime.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/substrate/substrate.h"
#include "tests/support/test_process.h"

namespace {

using platform::Id;
using platform::send;

class RuntimeTest : public ::testing::Test {
 protected:
  testing_support::TestProcess test;
  platform::Runtime& runtime = test.process().runtime();
};

TEST_F(RuntimeTest, SendsReachTheNearestImplementationUpTheSuperclasses) {
  auto animal = runtime.defineClass("Animal");
  animal->addMethod<std::string>("sound", [](Id) { return std::string("..."); });
  animal->addMethod<std::string>("name", [](Id) { return std::string("animal"); });
  auto dog = runtime.defineClass("Dog", "Animal");
  dog->addMethod<std::string>("sound", [](Id) { return std::string("woof"); });

  Id rex = platform::Runtime::createInstance(dog);
  EXPECT_EQ(send<std::string>(rex, "sound"), "woof");
  EXPECT_EQ(send<std::string>(rex, "name"), "animal");
  EXPECT_EQ(dog->superclass(), animal);
  EXPECT_NE(animal->superclass(), dog);
  EXPECT_EQ(platform::className(rex), "Dog");
}

TEST_F(RuntimeTest, NilAnswersZeroValues) {
  Id nil;
  EXPECT_EQ(send<std::int64_t>(nil, "count"), 0);
  EXPECT_EQ(send<std::optional<std::string>>(nil, "text"), std::nullopt);
  EXPECT_EQ(send<Id>(nil, "chatSession"), nullptr);
  EXPECT_FALSE(send<bool>(nil, "isGroupChat"));
}

TEST_F(RuntimeTest, ClassMethodsLiveInTheMetaclassAndAreInherited) {
  auto base = runtime.defineClass("Manager");
  base->addClassMethod<std::string>("version", [](Id) { return std::string("1.0"); });
  auto derived = runtime.defineClass("SpecialManager", "Manager");
  EXPECT_EQ(send<std::string>(runtime.lookUpClass("SpecialManager"), "version"), "1.0");
  EXPECT_FALSE(platform::respondsToSelector(platform::Runtime::createInstance(derived), "version"));
}

TEST_F(RuntimeTest, LookUpOfAnAbsentClassGivesNothing) {
  EXPECT_EQ(runtime.lookUpClass("WAChatManager"), nullptr);
  EXPECT_NE(runtime.lookUpClass("NSObject"), nullptr);
}

TEST_F(RuntimeTest, AWrongSignatureStopsNamingClassAndSelector) {
  auto cls = runtime.defineClass("Chat");
  cls->addMethod<bool>("isGroupChat", [](Id) { return true; });
  Id chat = platform::Runtime::createInstance(cls);
  EXPECT_DEATH(send<std::int64_t>(chat, "isGroupChat"), "-\\[Chat isGroupChat\\]: sent with signature");
  EXPECT_DEATH(send<bool>(chat, "isMuted"), "-\\[Chat isMuted\\]: unrecognized selector");
}

TEST_F(RuntimeTest, HookingHandsBackThePreviousImplementationBeforeTheFirstCall) {
  auto cls = runtime.defineClass("Transaction");
  std::string trail;
  cls->addMethod<void, std::string>("track:", [&](Id, std::string m) { trail += "host(" + m + ")"; });

  std::function<void(Id, std::string)> previous;
  platform::MSHookMessageEx(
      cls, "track:",
      [&](Id self, std::string m) {
        previous(self, m);
        trail += " hook";
      },
      &previous);

  send<void>(platform::Runtime::createInstance(cls), "track:", std::string("hi"));
  EXPECT_EQ(trail, "host(hi) hook");
}

TEST_F(RuntimeTest, HookingAnInheritedMethodOverridesItOnlyInTheHookedClass) {
  auto base = runtime.defineClass("Controller");
  base->addMethod<std::string>("viewDidLoad", [](Id) { return std::string("base"); });
  auto chat = runtime.defineClass("ChatController", "Controller");
  std::function<std::string(Id)> previous;
  platform::MSHookMessageEx(
      chat, "viewDidLoad", [&](Id self) { return previous(self) + "+hook"; }, &previous);

  EXPECT_EQ(send<std::string>(platform::Runtime::createInstance(chat), "viewDidLoad"), "base+hook");
  EXPECT_EQ(send<std::string>(platform::Runtime::createInstance(base), "viewDidLoad"), "base");
}

TEST_F(RuntimeTest, HookingAMissingClassOrSelectorIsIgnored) {
  std::function<void(Id)> previous;
  platform::MSHookMessageEx(nullptr, "viewDidLoad", [](Id) {}, &previous);
  platform::MSHookMessageEx(runtime.lookUpClass("NSObject"), "viewDidLoad", [](Id) {},
                                  &previous);
  EXPECT_FALSE(previous);
}

}  // namespace
