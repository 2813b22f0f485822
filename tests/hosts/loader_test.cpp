// The loader: which apps get a hook library, in which order, and the same
// library loaded into several simulated apps of one program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "Mornaq/host/host_interface.h"
#include "common/settings_format.h"
#include "hosts/whatsapp/whatsapp_app.h"
#include "platform/dispatch/main_queue.h"
#include "platform/foundation/file_manager.h"
#include "platform/substrate/loader.h"
#include "platform/substrate/substrate.h"
#include "tests/hosts/road_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

namespace road_test {
namespace {

using nlohmann::json;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;

class Loader : public RoadTest {
 protected:
  // Starts the messaging app in a process with this bundle identifier and
  // gives what it logged.
  std::vector<std::string> startApp(const std::string& bundleIdentifier,
                                    platform::Clock clock = platform::Clock::Virtual) {
    std::vector<std::string> lines;
    platform::Process process(
        {.bundleIdentifier = bundleIdentifier,
         .name = "App",
         .deviceRoot = root,
         .clock = clock,
         .logSink = [&](std::string_view line) { lines.emplace_back(line); }});
    platform::ProcessScope scope(process);
    hosts::whatsapp::WhatsAppApp app(process, "2.20.110.30", [](auto&, auto&) {});
    return lines;
  }

  void writeFilter(const std::string& name, const std::string& bundle) {
    testing_support::writeFile(
        root / ("Library/MobileSubstrate/DynamicLibraries/" + name),
        testing_support::xmlPlist("<key>Filter</key><dict><key>Bundles</key><array><string>" +
                                  bundle + "</string></array></dict>"));
  }
};

TEST_F(Loader, LoadsTheLibraryOnlyIntoTheAppsItsFilterNames) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
  EXPECT_THAT(startApp("net.whatsapp.WhatsApp"), ElementsAre("[Mornaq] getPlistValue value:-1"));
  EXPECT_THAT(startApp("com.example.Other"), IsEmpty());
}

TEST_F(Loader, ALibraryThatCannotBeOpenedIsLoggedAndTheRestStillLoad) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
  writeFilter("Broken.plist", "net.whatsapp.WhatsApp");

  const auto lines = startApp("net.whatsapp.WhatsApp");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_THAT(lines[0], testing::StartsWith("Loader: cannot load " +
                                            (root / "Library/MobileSubstrate/DynamicLibraries/"
                                                    "Broken.dylib")
                                                .string()));
  EXPECT_EQ(lines[1], "[Mornaq] getPlistValue value:-1");
}

TEST_F(Loader, EveryAppOfOneProgramRunsTheLibrarysLoadSteps) {
  writeFile(mornaq::format::kMainSettingsPath,
            {{"isTweakEnabled", true}, {"isGlobalEnabled", true}, {"isGlobAutoEnabled", true}});
  const std::string scenario =
      R"({"at":0,"receive":{"text":"Hi","chat":{"contactIdentifier":"ann:ABPerson"}}})";
  for (int app = 0; app < 3; ++app) {
    const auto result = run(scenario);
    EXPECT_EQ(result.of("sent").size(), 1u) << "app " << app;
  }
}

TEST_F(Loader, SeedsMainSettingsInEachNewDeviceRoot) {
  startApp("net.whatsapp.WhatsApp");
  const testing_support::TestProcess settingsApp("com.apple.Preferences", root);
  EXPECT_TRUE(platform::NSFileManager::fileExistsAtPath(mornaq::format::kMainSettingsPath));
}

TEST_F(Loader, InRealTimeMessagesAreRecordedOnANetworkThread) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", false}});
  platform::Process process({.bundleIdentifier = "net.whatsapp.WhatsApp",
                             .name = "WhatsApp",
                             .deviceRoot = root,
                             .clock = platform::Clock::Real,
                             .logSink = [](std::string_view) {}});
  platform::ProcessScope scope(process);
  hosts::whatsapp::WhatsAppApp app(process, "2.20.110.30", [](auto&, auto&) {});
  std::function<void(platform::Id, platform::Id)> previous;
  bool onMainQueue = true;
  std::thread::id recordedOn;
  platform::MSHookMessageEx(
      process.runtime().lookUpClass(mornaq::host::kWAChatSessionTransaction),
      mornaq::host::kTrackReceivedMessage,
      [&](platform::Id self, platform::Id message) {
        onMainQueue = process.mainQueue().isCurrent();
        recordedOn = std::this_thread::get_id();
        previous(self, message);
      },
      &previous);

  process.mainQueue().async([&] { app.receive("Hi", hosts::whatsapp::Chat{}); });
  static_cast<platform::RealMainQueue&>(process.mainQueue()).waitUntilIdle();

  EXPECT_FALSE(onMainQueue);
  EXPECT_NE(recordedOn, std::thread::id());
  EXPECT_NE(recordedOn, std::this_thread::get_id());
}

}  // namespace
}  // namespace road_test
