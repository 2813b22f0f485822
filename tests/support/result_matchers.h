#pragma once
// Matchers for a platform::Result, which say why a result did not match:
//   EXPECT_THAT(page->swipeToDelete(at), Succeeds());
//   EXPECT_THAT(page->swipeToDelete(at), FailsWith("the row cannot be deleted"));
//   EXPECT_THAT(readPlistIfPresent(path), Holds(Dictionary{{"on", true}}));
#include <gmock/gmock.h>

#include <string>

namespace testing_support {

MATCHER(Succeeds, "succeeds") {
  if (arg.ok()) return true;
  *result_listener << "fails with \"" << arg.reason() << "\"";
  return false;
}

MATCHER_P(FailsWith, reason, "fails with \"" + std::string(reason) + "\"") {
  if (arg.ok()) {
    *result_listener << "succeeds";
    return false;
  }
  *result_listener << "fails with \"" << arg.reason() << "\"";
  return arg.reason() == reason;
}

MATCHER_P(Holds, value, "holds " + testing::PrintToString(value)) {
  if (!arg.ok()) {
    *result_listener << "fails with \"" << arg.reason() << "\"";
    return false;
  }
  return testing::ExplainMatchResult(testing::Eq(value), arg.value(), result_listener);
}

}  // namespace testing_support
