// The listeners' icons, asked for as the gesture library asks for them.
#include <gtest/gtest.h>

#include "Mornaq/switch/activator_listeners.h"
#include "common/settings_format.h"
#include "platform/activator/activator.h"
#include "platform/uikit/uikit.h"
#include "tests/Mornaq/switch/switch_fixture.h"
#include "tests/support/png_bytes.h"

namespace {

namespace format = mornaq::format;
namespace la = platform::activator;

// Each listener's picture, plain and large ("@3x").
std::string picture(std::string_view name) {
  return std::string(format::kBundlePath) + "/" + std::string(name) + ".png";
}

class ListenerIconsTest : public switch_test::SwitchTest {
 protected:
  void SetUp() override { mornaq::loadActivatorListeners(); }

  void installIcons() {
    for (std::string_view name : {"ListenerOn", "ListenerOff"}) {
      test.writeFile(picture(name), testing_support::pngBytes(29, 29));
      test.writeFile(picture(std::string(name) + "@3x"), testing_support::pngBytes(87, 87));
    }
  }
  la::Icon icon(std::string_view listener, double scale) {
    return la::activatorRequiresIconForListenerName(listenerNamed(listener), activator,
                                                    std::string(listener), scale);
  }
  la::Icon smallIcon(std::string_view listener, double scale) {
    return la::activatorRequiresSmallIconForListenerName(listenerNamed(listener), activator,
                                                         std::string(listener), scale);
  }
  platform::Id listenerNamed(std::string_view listener) {
    return activator->listenerForName(listener);
  }

  std::shared_ptr<la::LAActivator> activator = la::LAActivator::shared();
  const std::string_view on = format::kActivatorOnListener;
  const std::string_view off = format::kActivatorOffListener;
};

// "icon@3x" is read as 3 pixels a point, "icon" as 1.
constexpr double kLarge = 3.0;
constexpr double kPlain = 1.0;

TEST_F(ListenerIconsTest, ScaleTwoTakesTheLargePictureAndTheCacheServesEveryLaterScale) {
  installIcons();
  auto first = icon(on, 2.0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->scale(), kLarge);
  EXPECT_EQ(icon(on, 3.0), first);
  EXPECT_EQ(icon(on, 1.0), first);
}

TEST_F(ListenerIconsTest, EachClassAndSizeHasACacheOfItsOwn) {
  installIcons();
  const auto onLarge = icon(on, 2.0);
  const auto onSmall = smallIcon(on, 3.0);
  const auto offLarge = icon(off, 3.0);
  const auto offSmall = smallIcon(off, 2.0);
  EXPECT_EQ(onLarge->scale(), kLarge);
  EXPECT_EQ(onSmall->scale(), kPlain);
  EXPECT_EQ(offLarge->scale(), kPlain);
  EXPECT_EQ(offSmall->scale(), kLarge);
  // Each shows the state it switches to.
  EXPECT_EQ(onLarge->name(), "ListenerOn@3x");
  EXPECT_EQ(onSmall->name(), "ListenerOn");
  EXPECT_EQ(offLarge->name(), "ListenerOff");
  EXPECT_EQ(offSmall->name(), "ListenerOff@3x");
  EXPECT_EQ(icon(on, 1.0), onLarge);
  EXPECT_EQ(smallIcon(on, 2.0), onSmall);
  EXPECT_EQ(icon(off, 2.0), offLarge);
  EXPECT_EQ(smallIcon(off, 1.0), offSmall);
}

TEST_F(ListenerIconsTest, AFailedLoadKeepsNothingAndIsRetried) {
  EXPECT_EQ(icon(on, 2.0), nullptr);
  test.writeFile(picture("ListenerOn@3x"), "not a picture");
  EXPECT_EQ(icon(on, 2.0), nullptr);
  installIcons();
  auto loaded = icon(on, 2.0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->scale(), kLarge);
}

TEST_F(ListenerIconsTest, EachProcessLoadsItsOwnIcons) {
  installIcons();
  const auto here = icon(on, 2.0);
  testing_support::TestProcess other(std::string(switch_test::kSpringBoard), test.root());
  platform::uikit::registerClasses(other.process().runtime());
  mornaq::loadActivatorListeners();
  auto otherActivator = la::LAActivator::shared();
  const auto there = la::activatorRequiresIconForListenerName(otherActivator->listenerForName(on),
                                                              otherActivator, std::string(on), 3.0);
  ASSERT_NE(there, nullptr);
  EXPECT_EQ(there->scale(), kPlain);
  EXPECT_NE(there, here);
}

}  // namespace
