#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "platform/process/process.h"
#include "tests/support/test_process.h"

namespace {

std::atomic<int> constructions;

struct Inner {
  int value = 7;
};

// Slow to make, and asks for another state while it is being made.
struct Outer {
  Outer() : inner(platform::Process::current().state<Inner>()) {
    ++constructions;
    std::this_thread::yield();
  }
  Inner& inner;
};

TEST(ProcessState, ThreadsAskingAtOnceShareOneStateMadeOnce) {
  testing_support::TestProcess test;
  constructions = 0;
  constexpr int kThreads = 16;
  std::vector<Outer*> seen(kThreads);
  std::atomic<bool> go = false;
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      platform::ProcessScope scope(test.process());
      while (!go) std::this_thread::yield();
      seen[i] = &test.process().state<Outer>();
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(std::set<Outer*>(seen.begin(), seen.end()).size(), 1u);
  EXPECT_EQ(constructions, 1);
  EXPECT_EQ(&seen[0]->inner, &test.process().state<Inner>());
  EXPECT_EQ(seen[0]->inner.value, 7);
}

}  // namespace
