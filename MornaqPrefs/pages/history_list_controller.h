#pragma once
// The history page: every reply that left, newest first, with the chat's
// name, the local time and the text, and a "Clear History" button that asks
// first.
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class MNQHistoryListController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "MNQHistoryListController";

  explicit MNQHistoryListController(const platform::Class* cls);
  static void registerActions(platform::Class& cls);

  // The button's action: a confirmation alert, then the file emptied.
  void clearHistory();

 protected:
  Specifiers appSpecifiers() override;
};

}  // namespace mornaqprefs
