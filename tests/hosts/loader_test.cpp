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
#include "tests/support/add_on_reports.h"
#include "tests/support/test_files.h"
#include "tests/support/test_process.h"

namespace road_test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// What an app's start showed: the loader's log lines and the master switch as
// Mornaq, once loaded, read it when the chat manager was created.
struct Started {
  std::vector<std::string> log;
  std::vector<bool> switchReads;
};

class Loader : public RoadTest {
 protected:
  // Starts the messaging app in a process with this bundle identifier.
  Started startApp(const std::string& bundleIdentifier,
                   platform::Clock clock = platform::Clock::Virtual) {
    Started started;
    platform::Process process(
        {.bundleIdentifier = bundleIdentifier,
         .name = "App",
         .deviceRoot = root,
         .clock = clock,
         .logSink = [&](std::string_view line) { started.log.emplace_back(line); }});
    platform::ProcessScope scope(process);
    const testing_support::AddOnReports reports;
    hosts::whatsapp::WhatsAppApp app(process, "2.20.110.30", [](auto&, auto&) {});
    started.switchReads = reports.switches;
    return started;
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
  EXPECT_THAT(startApp("net.whatsapp.WhatsApp").switchReads, ElementsAre(true));
  EXPECT_THAT(startApp("com.example.Other").switchReads, IsEmpty());
}

TEST_F(Loader, ALibraryThatCannotBeOpenedIsLoggedAndTheRestStillLoad) {
  writeFile(mornaq::format::kMainSettingsPath, {{"isTweakEnabled", true}});
  writeFilter("Broken.plist", "net.whatsapp.WhatsApp");

  const auto started = startApp("net.whatsapp.WhatsApp");
  ASSERT_FALSE(started.log.empty());
  EXPECT_THAT(started.log[0],
              testing::StartsWith("Loader: cannot load " + (root / "Library/MobileSubstrate/"
                                                                   "DynamicLibraries/Broken.dylib")
                                                               .string()));
  EXPECT_THAT(started.switchReads, ElementsAre(true));  // Mornaq loaded all the same
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
