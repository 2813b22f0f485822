#include "Mornaq/switch/activator_listeners.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/settings_format.h"
#include "platform/activator/activator.h"
#include "tests/Mornaq/switch/switch_fixture.h"

namespace {

namespace format = mornaq::format;
namespace la = platform::activator;
using platform::Dictionary;
using platform::Value;
using ::testing::ElementsAre;

const std::string kTweakKey(format::kIsTweakEnabled);

class ActivatorListenersTest : public switch_test::SwitchTest {
 protected:
  void SetUp() override { mornaq::loadActivatorListeners(); }
};

// An event for each listener, from each stored state of the switch.
struct EventCase {
  const char* name;
  std::string_view listener;
  std::optional<bool> before;  // nullopt: no key
  bool after;
};

class ListenerEventTest : public ActivatorListenersTest,
                          public ::testing::WithParamInterface<EventCase> {};

TEST_P(ListenerEventTest, WritesTheSwitchKeepsEveryOtherKeyPostsAndReportsIt) {
  const EventCase& c = GetParam();
  Dictionary settings{{"customReplyGlob", "Busy"},
                      {"firstInstall71", false},
                      {"contact-key", Dictionary{{"isContactBlackList", true}}},
                      {"unknownNumber", 7}};
  if (c.before) settings[kTweakKey] = *c.before;
  writeMainSettings(settings);

  auto event = la::LAActivator::shared()->sendEventToListener(c.listener);

  ASSERT_NE(event, nullptr);
  EXPECT_TRUE(event->handled());
  settings[kTweakKey] = c.after;
  EXPECT_EQ(mainSettings(), settings);
  EXPECT_THAT(posts, ElementsAre(std::string(format::kPrefsUpdatedNotification)));
  EXPECT_THAT(reports.switches, ElementsAre(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Events, ListenerEventTest,
    ::testing::Values(EventCase{"OnWhileAbsent", format::kActivatorOnListener, std::nullopt, true},
                      EventCase{"OnWhileOff", format::kActivatorOnListener, false, true},
                      EventCase{"OnWhileOn", format::kActivatorOnListener, true, true},
                      EventCase{"OffWhileAbsent", format::kActivatorOffListener, std::nullopt,
                                false},
                      EventCase{"OffWhileOn", format::kActivatorOffListener, true, false},
                      EventCase{"OffWhileOff", format::kActivatorOffListener, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActivatorListenersTest, RegistersOneNSObjectListenerOfEachClassOnce) {
  mornaq::loadActivatorListeners();  // a second load in the same process adds nothing
  auto activator = la::LAActivator::shared();
  const auto on = activator->listenerForName(format::kActivatorOnListener);
  const auto off = activator->listenerForName(format::kActivatorOffListener);
  EXPECT_EQ(platform::className(on), mornaq::kActivatorOnClass);
  EXPECT_EQ(platform::className(off), mornaq::kActivatorOffClass);
  const auto nsObject = test.process().runtime().lookUpClass("NSObject");
  EXPECT_EQ(on->isa()->superclass(), nsObject);
  EXPECT_EQ(off->isa()->superclass(), nsObject);
  EXPECT_EQ(activator->listListeners(2.0).size(), 2u);
}

TEST_F(ActivatorListenersTest, ListsTitlesAndDescriptions) {
  auto listed = la::LAActivator::shared()->listListeners(3.0);
  ASSERT_EQ(listed.size(), 2u);
  // Name order: ".../OFF" sorts before ".../ONN".
  EXPECT_EQ(listed[0].name, format::kActivatorOffListener);
  EXPECT_EQ(listed[0].title, "Mornaq OFF");
  EXPECT_EQ(listed[0].description, "To disable Mornaq tweak.");
  EXPECT_EQ(listed[1].name, format::kActivatorOnListener);
  EXPECT_EQ(listed[1].title, "Mornaq ON");
  EXPECT_EQ(listed[1].description, "To enabled Mornaq tweak.");
  EXPECT_TRUE(reports.switches.empty());
  EXPECT_TRUE(posts.empty());
}

class OutsideTheHomeScreenTest : public switch_test::SwitchTest {
 protected:
  OutsideTheHomeScreenTest() : SwitchTest(switch_test::kWhatsApp) {}
};

TEST_F(OutsideTheHomeScreenTest, TheClassesExistButNoListenerIsRegistered) {
  mornaq::loadActivatorListeners();
  auto activator = la::LAActivator::shared();
  EXPECT_TRUE(activator->listListeners(2.0).empty());
  EXPECT_EQ(activator->sendEventToListener(format::kActivatorOnListener), nullptr);
  EXPECT_NE(test.process().runtime().lookUpClass(mornaq::kActivatorOnClass), nullptr);
  EXPECT_NE(test.process().runtime().lookUpClass(mornaq::kActivatorOffClass), nullptr);
  EXPECT_FALSE(mainSettings());
}

}  // namespace
