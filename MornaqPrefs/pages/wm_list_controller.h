#pragma once
// The rule list page: one owner's word-match rules (the global rules, or a
// contact's), one row each. Rules are added through a three-field alert,
// deleted one by one by swiping their row, or all at once with the trash
// button. A tap on a rule opens its rule page.
#include <optional>
#include <string>
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class MNQWMListController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "MNQWMListController";

  explicit MNQWMListController(const platform::Class* cls);
  static void registerActions(platform::Class& cls);

  // The "Multiple Word Matching" row, on target, that opens this page for
  // the rules of one owner: the global rules, or a contact's. Without an
  // owner (a contact that cannot have settings of its own) the page shows no
  // rules, changes none, and says why in its footer.
  static SpecifierRef multipleWordMatchingRow(const Id& target, const OwnerKey& owner);

  bool tableViewCanEditRowAtIndexPath(IndexPath) override { return true; }
  void tableViewCommitEditingStyle(platform::preferences::UITableViewCellEditingStyle style,
                                   IndexPath indexPath) override;

  // The add button: asks for the word, the reply and the delay.
  void addNewStatement(const Id& sender);
  // Checks and stores the rule last entered in the add alert.
  void statementAdded();
  // The trash button: deletes all of the owner's rules, once confirmed.
  void removeAllStatements(const Id& sender);
  void showPopup(std::string title, std::optional<std::string> message);

  // The texts of the add alert's fields, as last taken, and the owner key.
  const std::string& match() const { return match_; }
  const std::string& reply() const { return reply_; }
  const std::string& delay() const { return delay_; }
  const std::string& phoneNumber() const { return settings().owner().text(); }

 protected:
  // The group "Add Match and reply", then a row per rule of the owner.
  Specifiers appSpecifiers() override;
  // The add and trash buttons, before the colours.
  void pageDidAppear() override;

 private:
  void deleteRule(const std::string& word);
  // The owner's rule set in the rule file; none without an owner.
  const Dictionary* ownRules(const Dictionary& rules) const;
  // Every change of the owner's rules; none without an owner.
  void updateRules(const platform::PlistChange& change);

  std::string match_;
  std::string reply_;
  std::string delay_;
};

}  // namespace mornaqprefs
