#pragma once
// The page about switching Mornaq on and off with a gesture.
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class MNQActivatorController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "MNQActivatorController";

  explicit MNQActivatorController(const platform::Class* cls)
      : PageChrome(cls, {.plist = "Activator"}) {}
};

}  // namespace mornaqprefs
