#pragma once
// The reply policy page: reply once, the schedule, holding back when the user
// answers or is active, and the loop guard, all from the plist "Policy".
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class MNQPolicyListController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "MNQPolicyListController";

  explicit MNQPolicyListController(const platform::Class* cls)
      : PageChrome(cls, {.plist = "Policy"}) {}
};

}  // namespace mornaqprefs
