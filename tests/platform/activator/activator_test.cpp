#include "platform/activator/activator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_process.h"

namespace {

namespace la = platform::activator;
using platform::Id;

// A listener that only receives events, recording them, and says whether it
// consumed them; it answers none of the optional questions.
Id makeListener(std::string_view className, std::vector<Id>& events, bool handles) {
  auto cls = platform::Process::current().runtime().defineClass(className);
  cls->setMethod(la::kReceiveEvent,
                 platform::Method(la::ReceiveEvent([&events, handles](Id, Id, Id event) {
                   events.push_back(event);
                   if (handles) la::setHandled(event, true);
                 })));
  return platform::Runtime::createInstance(cls);
}

class ActivatorTest : public ::testing::Test {
 protected:
  testing_support::TestProcess springBoard{std::string(la::kSpringBoardBundleIdentifier)};
  std::shared_ptr<la::LAActivator> activator = la::LAActivator::shared();
  std::vector<Id> events;
};

TEST_F(ActivatorTest, EachProcessHasItsOwnAndOnlyTheHomeScreenRunsIt) {
  activator->registerListener(makeListener("Listener", events, true), "name");
  EXPECT_EQ(la::LAActivator::shared(), activator);
  EXPECT_TRUE(activator->isRunningInsideSpringBoard());

  testing_support::TestProcess whatsApp("net.whatsapp.WhatsApp");
  EXPECT_NE(la::LAActivator::shared(), activator);
  EXPECT_FALSE(la::LAActivator::shared()->isRunningInsideSpringBoard());
  EXPECT_EQ(la::LAActivator::shared()->listenerForName("name"), nullptr);
}

TEST_F(ActivatorTest, AnEventReachesTheNamedListenerWhichTellsWhetherItHandledIt) {
  std::vector<Id> ignoredEvents;
  activator->registerListener(makeListener("Handling", events, true), "handling");
  activator->registerListener(makeListener("Ignoring", ignoredEvents, false), "ignoring");

  auto handled = activator->sendEventToListener("handling");
  auto ignored = activator->sendEventToListener("ignoring");

  EXPECT_TRUE(handled->handled());
  EXPECT_FALSE(ignored->handled());
  EXPECT_EQ(events, std::vector<Id>{handled});
  EXPECT_EQ(ignoredEvents, std::vector<Id>{ignored});
  EXPECT_EQ(activator->sendEventToListener("nobody"), nullptr);
}

TEST_F(ActivatorTest, ListsByNameTheLatestListenerOfEachNameWithoutWhatItDoesNotAnswer) {
  std::vector<Id> replacedEvents;
  activator->registerListener(makeListener("Replaced", replacedEvents, true), "b");
  activator->registerListener(makeListener("Latest", events, true), "b");
  activator->registerListener(makeListener("Other", events, true), "a");

  const auto listed = activator->listListeners(2.0);

  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].name, "a");
  EXPECT_EQ(listed[1].name, "b");
  EXPECT_EQ(platform::className(activator->listenerForName("b")), "Latest");
  for (const auto& listener : listed) {
    EXPECT_EQ(listener.title, std::nullopt);
    EXPECT_EQ(listener.description, std::nullopt);
    EXPECT_EQ(listener.icon, nullptr);
    EXPECT_EQ(listener.smallIcon, nullptr);
  }
}

}  // namespace
