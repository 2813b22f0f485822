#pragma once
// The bundle's root page: the master switches, links to the other pages, the
// update notice (shown once per main settings file) and two buttons that
// open the author's pages on the web.
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"
#include "common/version.h"

namespace mornaqprefs {

class MNQRootListController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "MNQRootListController";
  static constexpr std::string_view kUpdateTitle =
      "\U0001F60D Mornaq " MORNAQ_VERSION " \U0001F60D";
  static constexpr std::string_view kUpdateMessage =
      "\n Now you can use :newline: in reply which will be replaced with a blank line \n\nand "
      ":name: which will be replaced with user's name whom you are replying.\n\nTry it Now";

  explicit MNQRootListController(const platform::Class* cls);
  static void registerActions(platform::Class& cls);

  // The update notice, unless the main settings file says it was shown.
  void showUpdate();
  void Reddit();
  void Twitter();

 protected:
  void pageWillAppear() override { showUpdate(); }
};

}  // namespace mornaqprefs
