#include "MornaqPrefs/pages/history_list_controller.h"

#include <fmt/format.h>

#include "common/reply_history.h"
#include "platform/foundation/wall_clock.h"
#include "platform/preferences/class_registry.h"
#include "platform/uikit/uikit.h"

namespace mornaqprefs {
namespace {

namespace format = mornaq::format;
using namespace platform::uikit;
using platform::preferences::PSCellType;

std::string localText(platform::Date moment) {
  const platform::LocalTime t = platform::localTime(moment);
  return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", t.year, t.month, t.day, t.hour,
                     t.minute, t.second);
}

}  // namespace

MNQHistoryListController::MNQHistoryListController(const platform::Class* cls)
    : PageChrome(cls, {.plist = "History", .saveButton = false}) {}

void MNQHistoryListController::registerActions(platform::Class& cls) {
  PageChrome::registerActions(cls);
  platform::preferences::addAction(cls, "clearHistory", &MNQHistoryListController::clearHistory);
}

Specifiers MNQHistoryListController::appSpecifiers() {
  Specifiers rows;
  for (const auto& entry : format::historyEntries(platform::readPlist(format::kReplyHistoryPath))) {
    rows.push_back(PSSpecifier::preferenceSpecifierNamed(
        fmt::format("{}, {}: {}", entry.displayName, localText(entry.time), entry.text), self(),
        std::nullopt, std::nullopt, std::nullopt, PSCellType::Link));
  }
  if (rows.empty()) rows.push_back(PSSpecifier::groupSpecifierWithName("No replies yet"));
  return rows;
}

void MNQHistoryListController::clearHistory() {
  auto alert = UIAlertController::alertControllerWithTitle(
      "Clear History", "Delete every recorded reply?", AlertControllerStyle::Alert);
  alert->addAction({"Clear", AlertActionStyle::Destructive,
                    onThisPage<MNQHistoryListController>([](MNQHistoryListController& history) {
                      history.settings().update(format::kReplyHistoryPath, [](Dictionary& file) {
                        return file.erase(std::string(format::kHistoryReplies)) > 0;
                      });
                      history.reloadSpecifiers();
                    })});
  alert->addAction({"Cancel", AlertActionStyle::Cancel, nullptr});
  presentViewController(self(), alert);
}

}  // namespace mornaqprefs
