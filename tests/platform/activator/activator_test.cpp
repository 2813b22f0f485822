#include "platform/activator/activator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_process.h"

namespace {

namespace la = platform::activator;
using platform::Id;
using platform::Method;

// A listener that answers only what it is given and records the events.
struct Received {
  Id activator;
  Id event;
};

platform::ClassRef defineListener(std::string_view name, std::vector<Received>& received,
                                  bool handles, la::Text title = std::nullopt) {
  auto cls = platform::Process::current().runtime().defineClass(name);
  cls->setMethod(la::kReceiveEvent,
                 Method(la::ReceiveEvent([&received, handles](Id, Id activator, Id event) {
                   received.push_back({activator, event});
                   if (handles) la::setHandled(event, true);
                 })));
  if (title) {
    cls->setMethod(la::kRequiresLocalizedTitle,
                   Method(la::RequiresText([title](Id, Id, std::string listenerName) {
                     return la::Text(*title + " for " + listenerName);
                   })));
  }
  return cls;
}

class ActivatorTest : public ::testing::Test {
 protected:
  testing_support::TestProcess springBoard{std::string(la::kSpringBoardBundleIdentifier)};
  std::vector<Received> received;
};

TEST_F(ActivatorTest, RunsInsideTheHomeScreenOnly) {
  EXPECT_TRUE(la::LAActivator::shared()->isRunningInsideSpringBoard());
  {
    testing_support::TestProcess whatsApp("net.whatsapp.WhatsApp");
    EXPECT_FALSE(la::LAActivator::shared()->isRunningInsideSpringBoard());
  }
  EXPECT_TRUE(la::LAActivator::shared()->isRunningInsideSpringBoard());
}

TEST_F(ActivatorTest, EachProcessHasItsOwnListeners) {
  auto activator = la::LAActivator::shared();
  EXPECT_EQ(la::LAActivator::shared(), activator);
  activator->registerListener(
      platform::Runtime::createInstance(defineListener("L", received, true)), "a.listener");
  testing_support::TestProcess other(std::string(la::kSpringBoardBundleIdentifier));
  EXPECT_NE(la::LAActivator::shared(), activator);
  EXPECT_EQ(la::LAActivator::shared()->listenerForName("a.listener"), nullptr);
}

TEST_F(ActivatorTest, AnEventReachesTheNamedListenerAndTellsWhetherItWasHandled) {
  auto activator = la::LAActivator::shared();
  Id handling = platform::Runtime::createInstance(defineListener("Handling", received, true));
  Id ignoring = platform::Runtime::createInstance(defineListener("Ignoring", received, false));
  activator->registerListener(handling, "handling");
  activator->registerListener(ignoring, "ignoring");

  auto handled = activator->sendEventToListener("handling");
  ASSERT_NE(handled, nullptr);
  EXPECT_TRUE(handled->handled());
  auto ignored = activator->sendEventToListener("ignoring");
  ASSERT_NE(ignored, nullptr);
  EXPECT_FALSE(ignored->handled());

  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].activator, Id(activator));
  EXPECT_EQ(received[0].event, Id(handled));
  EXPECT_EQ(received[1].event, Id(ignored));
  EXPECT_EQ(activator->sendEventToListener("nobody"), nullptr);
}

TEST_F(ActivatorTest, ALaterRegistrationUnderTheSameNameReplacesTheEarlier) {
  auto activator = la::LAActivator::shared();
  std::vector<Received> first;
  activator->registerListener(
      platform::Runtime::createInstance(defineListener("First", first, true)), "name");
  activator->registerListener(
      platform::Runtime::createInstance(defineListener("Second", received, true)), "name");
  activator->sendEventToListener("name");
  EXPECT_TRUE(first.empty());
  EXPECT_EQ(received.size(), 1u);
}

TEST_F(ActivatorTest, ListsListenersInNameOrderAndLeavesOutWhatTheyDoNotAnswer) {
  auto activator = la::LAActivator::shared();
  activator->registerListener(
      platform::Runtime::createInstance(defineListener("Titled", received, true, "Title")),
      "b.titled");
  activator->registerListener(
      platform::Runtime::createInstance(defineListener("Bare", received, true)), "a.bare");

  auto listed = activator->listListeners(2.0);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].name, "a.bare");
  EXPECT_EQ(listed[0].title, std::nullopt);
  EXPECT_EQ(listed[0].description, std::nullopt);
  EXPECT_EQ(listed[0].icon, nullptr);
  EXPECT_EQ(listed[0].smallIcon, nullptr);
  EXPECT_EQ(listed[1].name, "b.titled");
  EXPECT_EQ(listed[1].title, "Title for b.titled");
  EXPECT_TRUE(received.empty());
}

}  // namespace
