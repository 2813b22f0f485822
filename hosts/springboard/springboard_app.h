#pragma once
// The simulated home-screen process. Starting it follows the phone: UIKit's
// classes and the home screen's own, then the hook libraries the loader
// finds for "com.apple.springboard".
#include <string_view>
#include <vector>

#include "platform/activator/activator.h"
#include "platform/process/process.h"

namespace hosts::springboard {

inline constexpr const char* kBundleIdentifier = "com.apple.springboard";
// The simulated phone's screen: two pixels a point.
inline constexpr double kScreenScale = 2.0;

class SpringBoardApp {
 public:
  // Starts the home screen in process, which must be current on this thread.
  explicit SpringBoardApp(platform::Process& process);

  // The home screen comes into view (viewDidAppear: YES).
  void homeScreenAppears();
  // The gesture library sends an event to the listener registered under
  // name: the event as the listener left it, or nullptr when none is.
  std::shared_ptr<platform::activator::LAEvent> activatorEvent(std::string_view listenerName);
  // What the gesture library's settings show of every registered listener.
  std::vector<platform::activator::ListenerDescription> listeners();

 private:
  platform::Id homeScreen_;
};

}  // namespace hosts::springboard
