#include "hosts/springboard/springboard_app.h"

#include "Mornaq/host/host_interface.h"
#include "platform/substrate/loader.h"
#include "platform/uikit/uikit.h"

namespace hosts::springboard {
namespace {

namespace host = mornaq::host;

// The home screen's own viewDidAppear: has nothing to show in the simulation;
// it exists so that the hook library has a method to replace.
void defineHomeScreenClass(platform::Runtime& runtime) {
  auto homeScreen = runtime.defineClass(host::kSBHomeScreenViewController, "UIViewController");
  homeScreen->addMethod<void, bool>(host::kViewDidAppear, [](platform::Id, bool) {});
}

}  // namespace

SpringBoardApp::SpringBoardApp(platform::Process& process) {
  platform::uikit::registerClasses(process.runtime());
  defineHomeScreenClass(process.runtime());
  platform::substrate::loadHookLibraries();
  homeScreen_ = platform::Runtime::createInstance(
      process.runtime().lookUpClass(host::kSBHomeScreenViewController));
}

void SpringBoardApp::homeScreenAppears() {
  platform::send<void>(homeScreen_, host::kViewDidAppear, true);
}

std::shared_ptr<platform::activator::LAEvent> SpringBoardApp::activatorEvent(
    std::string_view listenerName) {
  return platform::activator::LAActivator::shared()->sendEventToListener(listenerName);
}

std::vector<platform::activator::ListenerDescription> SpringBoardApp::listeners() {
  return platform::activator::LAActivator::shared()->listListeners(kScreenScale);
}

}  // namespace hosts::springboard
