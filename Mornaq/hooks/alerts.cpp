#include "Mornaq/hooks/alerts.h"

namespace mornaq {

namespace uikit = platform::uikit;

uikit::UIAlertAction okAction() {
  return {.title = "Ok", .style = uikit::AlertActionStyle::Default, .handler = {}};
}

void presentAlert(const platform::Id& presenter, std::string title, std::string message,
                  std::vector<uikit::UIAlertAction> actions) {
  auto alert = uikit::UIAlertController::alertControllerWithTitle(
      std::move(title), std::move(message), uikit::AlertControllerStyle::Alert);
  for (auto& action : actions) alert->addAction(std::move(action));
  uikit::presentViewController(presenter, alert);
}

}  // namespace mornaq
