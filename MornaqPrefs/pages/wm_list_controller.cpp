#include "MornaqPrefs/pages/wm_list_controller.h"

#include "MornaqPrefs/pages/link_rows.h"
#include "MornaqPrefs/pages/rule_settings.h"
#include "MornaqPrefs/pages/wm_settings_controller.h"
#include "common/settings_format.h"
#include "platform/preferences/class_registry.h"
#include "platform/uikit/bar_button_item.h"
#include "platform/uikit/uikit.h"

namespace mornaqprefs {

namespace format = mornaq::format;
using namespace platform::uikit;
using platform::preferences::UITableViewCellEditingStyle;

MNQWMListController::MNQWMListController(const platform::Class* cls)
    : PageChrome(cls, {.plist = "empty", .saveButton = false, .tintWhenAppeared = true}) {}

void MNQWMListController::registerActions(platform::Class& cls) {
  PageChrome::registerActions(cls);
  platform::preferences::addAction(cls, "addNewStatement:", &MNQWMListController::addNewStatement);
  platform::preferences::addAction(
      cls, "removeAllStatements:", &MNQWMListController::removeAllStatements);
}

SpecifierRef MNQWMListController::multipleWordMatchingRow(const Id& target, const OwnerKey& owner) {
  auto row = linkRow("Multiple Word Matching", target, kClassName);
  row->setProperty(true, "isController");
  row->setProperty(true, "enabled");
  owner.handTo(*row);
  return row;
}

const Dictionary* MNQWMListController::ownRules(const Dictionary& rules) const {
  const OwnerKey& owner = settings().owner();
  return owner ? ruleSetIn(rules, owner.text()) : nullptr;
}

void MNQWMListController::updateRules(const platform::PlistChange& change) {
  if (settings().owner()) settings().update(format::kRuleSettingsPath, change);
}

void MNQWMListController::pageDidAppear() {
  navigationItem().setRightBarButtonItems({
      UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Add, self(),
                                                   "addNewStatement:"),
      UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Trash, self(),
                                                   "removeAllStatements:"),
  });
}

Specifiers MNQWMListController::appSpecifiers() {
  Specifiers rows{PSSpecifier::groupSpecifierWithName("Add Match and reply")};
  const OwnerKey& owner = settings().owner();
  if (!owner) {
    rows.push_back(noOwnSettingsFooter());
    return rows;
  }
  const auto rules = platform::readPlistShared(format::kRuleSettingsPath);
  if (const Dictionary* ruleSet = ownRules(*rules)) {
    for (const auto& [word, rule] : *ruleSet) {
      auto row = linkRow(word, self(), MNQWMSettingsController::kClassName);
      owner.handTo(*row);
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

void MNQWMListController::addNewStatement(const Id&) {
  auto alert = UIAlertController::alertControllerWithTitle("Multiple Match and Reply",
                                                           "Enter Word to match, Reply and Delay.",
                                                           AlertControllerStyle::Alert);
  for (const char* placeholder : {"Word/Sentence to Match", "Reply", "Delay in seconds i.e. 5"}) {
    alert->addTextFieldWithConfigurationHandler([placeholder](UITextField& field) {
      field.clearButtonMode = 1;  // shown while editing
      field.borderStyle = 3;      // rounded rectangle
      field.placeholder = placeholder;
    });
  }
  // The handler holds the fields, not the alert (which owns the handlers).
  auto fields = alert->textFields();
  alert->addAction({"Add", AlertActionStyle::Default,
                    onThisPage<MNQWMListController>([fields](MNQWMListController& list) {
                      list.match_ = fields[0]->text;
                      list.reply_ = fields[1]->text;
                      list.delay_ = fields[2]->text;
                      list.statementAdded();
                    })});
  alert->addAction({"Cancel", AlertActionStyle::Default, nullptr});
  presentViewController(self(), alert);
}

void MNQWMListController::statementAdded() {
  if (match_.empty()) {
    showPopup("Enter requied data to procced", std::nullopt);
    return;
  }
  // The check and the write are one locked step, so that a rule another
  // process added meanwhile is found rather than overwritten.
  bool alreadyUsed = false;
  updateRules([&](Dictionary& rules) {
    Value& owned = rules[phoneNumber()];
    if (!owned.dictionary()) owned = Dictionary{};
    Dictionary& ruleSet = *owned.dictionary();
    alreadyUsed = ruleSet.contains(match_);
    if (alreadyUsed) return false;
    ruleSet[match_] = Dictionary{{std::string(format::kCustomMatch), match_},
                                 {std::string(format::kCustomMatchRe), reply_},
                                 {std::string(format::kCustomMatchReDelay), delay_}};
    return true;
  });
  if (alreadyUsed) {
    showPopup("Word already used to match.",
              "You have already set autoreply for this word already.\nPls use another word.");
    return;
  }
  reloadSpecifiers();
}

void MNQWMListController::showPopup(std::string title, std::optional<std::string> message) {
  auto alert = UIAlertController::alertControllerWithTitle(std::move(title), std::move(message),
                                                           AlertControllerStyle::Alert);
  alert->addAction({"OK", AlertActionStyle::Default, nullptr});
  presentViewController(self(), alert);
}

void MNQWMListController::tableViewCommitEditingStyle(UITableViewCellEditingStyle style,
                                                      IndexPath indexPath) {
  if (style == UITableViewCellEditingStyle::Delete) {
    // By the word the row shows rather than by its position: the file may
    // have changed since the rows were built, and the position would then
    // name another rule, or none.
    SpecifierRef row = specifierAtIndexPath(indexPath);
    if (row && row->detail() == MNQWMSettingsController::kClassName && row->name()) {
      deleteRule(*row->name());
    }
  }
  reloadSpecifiers();
}

void MNQWMListController::deleteRule(const std::string& word) {
  updateRules([&](Dictionary& rules) {
    Dictionary* ruleSet = ruleSetIn(rules, phoneNumber());
    if (!ruleSet || !ruleSet->erase(word)) return false;
    // An owner without rules has no entry at all.
    if (ruleSet->empty()) rules.erase(phoneNumber());
    return true;
  });
}

void MNQWMListController::removeAllStatements(const Id&) {
  if (!ownRules(*platform::readPlistShared(format::kRuleSettingsPath))) {
    showPopup("No data to delete", std::nullopt);
    return;
  }
  auto alert = UIAlertController::alertControllerWithTitle(
      "Delete All", "Are you sure you want to delete all the Match and Reply data?",
      AlertControllerStyle::Alert);
  alert->addAction({"Yes", AlertActionStyle::Default,
                    onThisPage<MNQWMListController>([](MNQWMListController& list) {
                      // Under the lock, so that rules of other owners written
                      // since the question was asked are kept.
                      list.updateRules(
                          [&](Dictionary& rules) { return rules.erase(list.phoneNumber()) > 0; });
                      list.reloadSpecifiers();
                    })});
  alert->addAction({"NO", AlertActionStyle::Default, nullptr});
  presentViewController(self(), alert);
}

}  // namespace mornaqprefs
