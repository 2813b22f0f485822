#include "platform/uikit/uikit.h"

#include <algorithm>

#include "platform/process/process.h"

namespace platform::uikit {
namespace {

using Completion = std::function<void()>;

struct SharedApplication {
  Id instance;
};

ClassRef classNamed(std::string_view name) {
  auto cls = Process::current().runtime().lookUpClass(name);
  if (!cls) fatal(std::string(name) + " is not registered in this process");
  return cls;
}

}  // namespace

void registerClasses(Runtime& runtime) {
  auto application = runtime.defineClass("UIApplication");
  application->addClassMethod<Id>("sharedApplication", [](Id self) {
    auto& shared = Process::current().state<SharedApplication>().instance;
    if (!shared) shared = Runtime::createInstance(std::static_pointer_cast<Class>(self));
    return shared;
  });
  application->addMethod<void, std::string, bool>(
      "launchApplicationWithIdentifier:suspended:",
      [](Id, std::string identifier, bool suspended) {
        Screen::current().launchApplication(identifier, suspended);
      });
  application->addMethod<void, std::string>(
      "openURL:options:completionHandler:",
      [](Id, std::string url) { Screen::current().openURL(url); });

  runtime.defineClass("UIResponder");
  auto viewController = runtime.defineClass("UIViewController", "UIResponder");
  viewController->addMethod<void, Id, bool, Completion>(
      "presentViewController:animated:completion:", [](Id, Id presented, bool, Completion) {
        Screen::current().present(std::static_pointer_cast<UIAlertController>(presented));
      });
  viewController->addMethod<void, bool, Completion>(
      "dismissViewControllerAnimated:completion:",
      [](Id, bool, Completion) { Screen::current().dismissTop(); });
  runtime.defineClass("UIAlertController", "UIViewController");
  runtime.defineClass("UITextField");
  // The classes of view.h, image.h, bar_button_item.h and view_controller.h.
  runtime.defineClass("UIView", "UIResponder");
  runtime.defineClass("UIImageView", "UIView");
  runtime.defineClass("UITableViewHeaderFooterView", "UIView");
  runtime.defineClass("UINavigationController", "UIViewController");
  runtime.defineClass("UIBarButtonItem");
  runtime.defineClass("UIImage");
}

std::shared_ptr<UIAlertController> UIAlertController::alertControllerWithTitle(
    std::optional<std::string> title, std::optional<std::string> message,
    AlertControllerStyle preferredStyle) {
  auto alert = std::make_shared<UIAlertController>(classNamed("UIAlertController").get());
  alert->title_ = std::move(title);
  alert->message_ = std::move(message);
  alert->style_ = preferredStyle;
  return alert;
}

void UIAlertController::addTextFieldWithConfigurationHandler(
    const std::function<void(UITextField&)>& configure) {
  auto field = std::make_shared<UITextField>(classNamed("UITextField").get());
  if (configure) configure(*field);
  textFields_.push_back(std::move(field));
}

Screen& Screen::current() { return Process::current().state<Screen>(); }

void Screen::present(AlertRef alert) {
  shown_.push_back(alert);
  if (observer_.presented) observer_.presented(*alert);
}

void Screen::dismissTop() {
  if (shown_.empty()) return;
  AlertRef alert = shown_.back();
  shown_.pop_back();
  if (observer_.dismissed) observer_.dismissed(*alert);
}

bool Screen::tap(std::string_view title) {
  AlertRef alert = top();
  if (!alert) return false;
  const auto& actions = alert->actions();
  auto action = std::find_if(actions.begin(), actions.end(),
                             [&](const UIAlertAction& a) { return a.title == title; });
  if (action == actions.end()) return false;
  auto handler = action->handler;
  dismissTop();
  if (handler) handler();
  return true;
}

void Screen::launchApplication(const std::string& identifier, bool suspended) {
  if (observer_.launched) observer_.launched(identifier, suspended);
}

void Screen::openURL(const std::string& url) {
  if (observer_.openedURL) observer_.openedURL(url);
}

void launchApplicationWithIdentifier(const std::string& identifier, bool suspended) {
  Id application = send<Id>(classNamed("UIApplication"), "sharedApplication");
  send<void>(application, "launchApplicationWithIdentifier:suspended:", identifier, suspended);
}

void openURL(const std::string& url) {
  Id application = send<Id>(classNamed("UIApplication"), "sharedApplication");
  send<void>(application, "openURL:options:completionHandler:", url);
}

void presentViewController(const Id& presenter, const AlertRef& alert) {
  send<void>(presenter, "presentViewController:animated:completion:", Id(alert), true,
             Completion());
}

void dismissViewController(const Id& presenter) {
  send<void>(presenter, "dismissViewControllerAnimated:completion:", true, Completion());
}

}  // namespace platform::uikit
