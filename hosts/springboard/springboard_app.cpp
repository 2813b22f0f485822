#include "hosts/springboard/springboard_app.h"

#include "platform/substrate/loader.h"
#include "platform/uikit/uikit.h"

namespace hosts::springboard {
namespace {

constexpr std::string_view kHomeScreenClass = "SBHomeScreenViewController";
constexpr std::string_view kViewDidAppear = "viewDidAppear:";

// The home screen's own viewDidAppear: has nothing to show in the simulation;
// it exists so that the hook library has a method to replace.
void defineHomeScreenClass(platform::Runtime& runtime) {
  auto homeScreen = runtime.defineClass(kHomeScreenClass, "UIViewController");
  homeScreen->addMethod<void, bool>(kViewDidAppear, [](platform::Id, bool) {});
}

}  // namespace

SpringBoardApp::SpringBoardApp(platform::Process& process) {
  platform::uikit::registerClasses(process.runtime());
  defineHomeScreenClass(process.runtime());
  platform::substrate::loadHookLibraries();
  homeScreen_ = platform::Runtime::createInstance(process.runtime().lookUpClass(kHomeScreenClass));
}

void SpringBoardApp::homeScreenAppears() {
  platform::send<void>(homeScreen_, kViewDidAppear, true);
}

std::shared_ptr<platform::activator::LAEvent> SpringBoardApp::activatorEvent(
    std::string_view listenerName) {
  return platform::activator::LAActivator::shared()->sendEventToListener(listenerName);
}

std::vector<platform::activator::ListenerDescription> SpringBoardApp::listeners() {
  return platform::activator::LAActivator::shared()->listListeners(kScreenScale);
}

}  // namespace hosts::springboard
