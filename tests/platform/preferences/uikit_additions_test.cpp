// The UIKit pieces settings pages use: images decoded from PNG files, the
// navigation stack's appearance calls, bar buttons and the switch on-tint.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/uikit/image.h"
#include "platform/uikit/object_factory.h"
#include "platform/uikit/switch_appearance.h"
#include "tests/platform/preferences/preferences_fixture.h"
#include "tests/support/png_bytes.h"

namespace {

using namespace platform;
using namespace platform::uikit;
using preferences_testing::Fixture;

class ImageTest : public ::testing::Test {
 protected:
  // A real PNG of that many pixels at a device path.
  void writePng(std::string_view devicePath, int width, int height) {
    fixture.process.writeFile(devicePath, testing_support::pngBytes(width, height));
  }

  Fixture fixture;
};

TEST_F(ImageTest, SizeIsInPointsAtTheScaleTheNameGives) {
  writePng("/b/header.png", 320, 160);
  writePng("/b/icon@2x.png", 58, 58);
  writePng("/b/icon@3x.png", 87, 87);
  const std::pair<const char*, CGSize> table[] = {
      {"/b/header.png", {320, 160}}, {"/b/icon@2x.png", {29, 29}}, {"/b/icon@3x.png", {29, 29}}};
  for (const auto& [path, size] : table) {
    SCOPED_TRACE(path);
    auto image = UIImage::initWithContentsOfFile(path);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), size);
  }
}

TEST_F(ImageTest, WhatIsNotAWholePngGivesNoImage) {
  writePng("/b/whole.png", 16, 16);
  const std::string whole = fixture.process.readFile("/b/whole.png");
  fixture.process.writeFile("/b/empty.png", "");
  fixture.process.writeFile("/b/text.png", "not an image");
  fixture.process.writeFile("/b/cut.png", whole.substr(0, whole.size() / 2));
  for (const char* path : {"/b/missing.png", "/b/empty.png", "/b/text.png", "/b/cut.png"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(UIImage::initWithContentsOfFile(path), nullptr);
  }
}

TEST_F(ImageTest, ImageNamedTakesThePlainFileFirstThenTheScaledOnes) {
  writePng("/b/only@2x.png", 40, 20);
  writePng("/b/both.png", 10, 10);
  writePng("/b/both@2x.png", 40, 40);
  EXPECT_EQ(UIImage::imageNamed("only", "/b")->size(), (CGSize{20, 10}));
  EXPECT_EQ(UIImage::imageNamed("both", "/b")->size(), (CGSize{10, 10}));
  EXPECT_EQ(UIImage::imageNamed("none", "/b"), nullptr);
}

// Records the appearance calls every controller gets, in order.
struct Recorder : UIViewController {
  using UIViewController::UIViewController;
  void viewWillAppear(bool) override { calls->push_back(name + " willAppear"); }
  void viewDidAppear(bool) override { calls->push_back(name + " didAppear"); }
  void viewWillDisappear(bool) override { calls->push_back(name + " willDisappear"); }
  void viewDidDisappear(bool) override { calls->push_back(name + " didDisappear"); }
  std::string name;
  std::shared_ptr<std::vector<std::string>> calls;
};

TEST(NavigationTest, PushAndPopCallTheAppearanceMethodsInUIKitsOrder) {
  Fixture fixture;
  auto calls = std::make_shared<std::vector<std::string>>();
  auto make = [&](std::string name) {
    auto controller = makeObject<Recorder>("UIViewController");
    controller->name = std::move(name);
    controller->calls = calls;
    return controller;
  };
  auto first = make("first");
  auto second = make("second");
  fixture.inner->pushViewController(first, false);
  fixture.inner->pushViewController(second, true);
  EXPECT_EQ(second->navigationController(), fixture.inner);
  EXPECT_EQ(fixture.inner->navigationController(), fixture.outer);
  EXPECT_EQ(fixture.inner->popViewControllerAnimated(true), second);
  EXPECT_EQ(second->navigationController(), nullptr);
  EXPECT_EQ(fixture.inner->popViewControllerAnimated(true), nullptr);
  EXPECT_EQ(*calls,
            (std::vector<std::string>{"first willAppear", "first didAppear", "first willDisappear",
                                      "second willAppear", "first didDisappear", "second didAppear",
                                      "second willDisappear", "first willAppear",
                                      "second didDisappear", "first didAppear"}));
}

struct Target : Object {
  using Object::Object;
  std::vector<Id> senders;
  int saves = 0;
};

TEST(BarButtonTest, ATapSendsTheActionWithTheButtonAsSenderWhenTheSelectorTakesOne) {
  Fixture fixture;
  auto cls = fixture.process.process().runtime().defineClass("Target");
  cls->addMethod<void>("save", [](Id self) { ++as<Target>(self).saves; });
  cls->addMethod<void, Id>("add:",
                           [](Id self, Id sender) { as<Target>(self).senders.push_back(sender); });
  auto target = std::make_shared<Target>(cls.get());
  auto save = UIBarButtonItem::initWithTitle("Save", UIBarButtonItemStyle::Plain, target, "save");
  auto add =
      UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Add, target, "add:");
  save->tap();
  add->tap();
  EXPECT_EQ(target->saves, 1);
  EXPECT_EQ(target->senders, std::vector<Id>{add});
  // The target is not retained: a button outliving it does nothing.
  target.reset();
  save->tap();
}

TEST(SwitchAppearanceTest, TheOnTintBelongsToTheContainingClassAndItsSubclasses) {
  Fixture fixture;
  auto& runtime = fixture.process.process().runtime();
  auto page = runtime.defineClass("Page", "UIViewController");
  auto subpage = runtime.defineClass("Subpage", "Page");
  auto other = runtime.defineClass("Other", "UIViewController");
  const UIColor green{0.29, 0.88, 0.64, 1.0};
  UISwitch::appearanceWhenContainedInInstancesOfClass(*page).setOnTintColor(green);
  EXPECT_EQ(UISwitch::onTintColorInside(*page), green);
  EXPECT_EQ(UISwitch::onTintColorInside(*subpage), green);
  EXPECT_EQ(UISwitch::onTintColorInside(*other), std::nullopt);
}

}  // namespace
