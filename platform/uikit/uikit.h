#pragma once
// UIKit, as far as the add-on uses it: the application object (launching
// another app, opening an address), view controllers that present and
// dismiss, and alert controllers with actions and text fields.
//
// What a process shows is kept by its Screen: the alerts presented and still
// shown, in order, and the observer that hosts use to print what happens.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/runtime.h"

namespace platform {
class Runtime;
}

namespace platform::uikit {

// Defines UIApplication, UIViewController, UIAlertController and UITextField
// in a process's runtime, and the classes of view.h, image.h,
// bar_button_item.h and view_controller.h; hosts call it once at start.
void registerClasses(Runtime& runtime);

enum class AlertActionStyle : std::int64_t { Default = 0, Cancel = 1, Destructive = 2 };
enum class AlertControllerStyle : std::int64_t { ActionSheet = 0, Alert = 1 };

struct UIAlertAction {
  std::string title;
  AlertActionStyle style = AlertActionStyle::Default;
  std::function<void()> handler;  // may be empty
};

class UITextField : public Object {
 public:
  using Object::Object;
  std::string text;  // empty when nothing was typed
  std::string placeholder;
  std::int64_t clearButtonMode = 0;
  std::int64_t borderStyle = 0;
};

class UIAlertController : public Object {
 public:
  using Object::Object;
  static std::shared_ptr<UIAlertController> alertControllerWithTitle(
      std::optional<std::string> title, std::optional<std::string> message,
      AlertControllerStyle preferredStyle);

  void addAction(UIAlertAction action) { actions_.push_back(std::move(action)); }
  void addTextFieldWithConfigurationHandler(const std::function<void(UITextField&)>& configure);

  const std::optional<std::string>& title() const { return title_; }
  const std::optional<std::string>& message() const { return message_; }
  AlertControllerStyle preferredStyle() const { return style_; }
  const std::vector<UIAlertAction>& actions() const { return actions_; }
  const std::vector<std::shared_ptr<UITextField>>& textFields() const { return textFields_; }

 private:
  std::optional<std::string> title_;
  std::optional<std::string> message_;
  AlertControllerStyle style_ = AlertControllerStyle::Alert;
  std::vector<UIAlertAction> actions_;
  std::vector<std::shared_ptr<UITextField>> textFields_;
};

using AlertRef = std::shared_ptr<UIAlertController>;

struct ScreenObserver {
  std::function<void(const UIAlertController&)> presented;
  std::function<void(const UIAlertController&)> dismissed;
  std::function<void(const std::string& identifier, bool suspended)> launched;
  std::function<void(const std::string& url)> openedURL;
};

// What the current process shows.
class Screen {
 public:
  static Screen& current();

  void setObserver(ScreenObserver observer) { observer_ = std::move(observer); }

  // presentViewController:animated:completion: of an alert, by any presenter.
  void present(AlertRef alert);
  // dismissViewControllerAnimated:completion: of the alert shown last.
  void dismissTop();
  // The alert presented last and still shown, or nullptr.
  AlertRef top() const { return shown_.empty() ? nullptr : shown_.back(); }
  // Taps a button of the top alert: the alert closes, then the handler runs.
  // False when there is no alert or it has no button of that title.
  bool tap(std::string_view title);

  void launchApplication(const std::string& identifier, bool suspended);
  void openURL(const std::string& url);

 private:
  std::vector<AlertRef> shown_;
  ScreenObserver observer_;
};

// UIApplication sharedApplication, then launchApplicationWithIdentifier:suspended:.
void launchApplicationWithIdentifier(const std::string& identifier, bool suspended);
// UIApplication sharedApplication, then openURL:options:completionHandler: with
// empty options and no handler.
void openURL(const std::string& url);

// presentViewController:animated:completion: and dismissViewControllerAnimated:completion:
// sent to a view controller of the host, animated, no completion.
void presentViewController(const Id& presenter, const AlertRef& alert);
void dismissViewController(const Id& presenter);

}  // namespace platform::uikit
