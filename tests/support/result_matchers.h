#pragma once
// Matchers for a platform::Result, which say why a result did not match:
//   EXPECT_THAT(page->swipeToDelete(at), Succeeds());
//   EXPECT_THAT(page->swipeToDelete(at), FailsWith("the row cannot be deleted"));
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

}  // namespace testing_support
