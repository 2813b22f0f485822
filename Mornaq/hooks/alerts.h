#pragma once
// The dialogs the hook library shows: alert style, default-style buttons.
#include <string>
#include <vector>

#include "platform/uikit/uikit.h"

namespace mornaq {

// "Ok" closes the dialog and does nothing more: choosing any button closes it.
platform::uikit::UIAlertAction okAction();

// Presents the dialog on presenter, animated, with the buttons in this order.
void presentAlert(const platform::Id& presenter, std::string title, std::string message,
                  std::vector<platform::uikit::UIAlertAction> actions);

}  // namespace mornaq
