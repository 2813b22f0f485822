#pragma once
// The global page: the global reply for every sender without settings of
// their own, and the link to the global word-match rules.
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class MNQGlobalListController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "MNQGlobalListController";

  explicit MNQGlobalListController(const platform::Class* cls);

 protected:
  Specifiers appSpecifiers() override;
};

}  // namespace mornaqprefs
