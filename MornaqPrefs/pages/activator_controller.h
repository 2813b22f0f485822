#pragma once
// The page about switching Mornaq on and off with a gesture.
#include <string_view>

#include "MornaqPrefs/pages/page_frame.h"

namespace mornaqprefs {

class MNQActivatorController : public PageFrame {
 public:
  static constexpr std::string_view kClassName = "MNQActivatorController";

  explicit MNQActivatorController(const platform::Class* cls)
      : PageFrame(cls, {.plist = "Activator"}) {}
};

}  // namespace mornaqprefs
