// Cost of opening a contact list page (the scan, one row per contact with its
// state icon) at 100, 1,000 and 3,000 contacts, every tenth of them with an
// entry in the main settings file. The page reads that file once for all
// rows; the simplest correct page reads it again for every row. The column
// "per_row_reads" gives how many times longer the page would take that way:
// its own time plus one more read of the file per further row, each read
// timed here on the same file.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "MornaqPrefs/pages/contact_list_controller.h"
#include "MornaqPrefs/pages/page_classes.h"
#include "common/settings_format.h"
#include "platform/contacts/contacts.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_file.h"
#include "platform/preferences/class_registry.h"
#include "platform/process/process.h"
#include "platform/uikit/uikit.h"

namespace {

namespace fs = std::filesystem;
namespace format = mornaq::format;
using Clock = std::chrono::steady_clock;

// A Settings app process on a device root with the bundle's resources, an
// address book of n contacts and a main settings file; laid once per size.
class SettingsProcess {
 public:
  explicit SettingsProcess(std::int64_t n)
      : process_({.bundleIdentifier = "com.apple.Preferences",
                  .name = "Preferences",
                  .deviceRoot =
                      fs::temp_directory_path() / fmt::format("mornaq-bench-contact-list-{}", n),
                  .clock = platform::Clock::Virtual,
                  .logSink = [](std::string_view) {}}),
        scope_(process_) {
    platform::uikit::registerClasses(process_.runtime());
    platform::preferences::registerClasses(process_.runtime());
    mornaqprefs::registerPageClasses();
    const platform::DeviceRoot& root = process_.root();
    const auto bundle = *root.map(format::kBundlePath);
    fs::create_directories(bundle);
    fs::copy(MORNAQPREFS_RESOURCES, bundle, fs::copy_options::overwrite_existing);

    std::string cards;
    platform::Dictionary settings{{std::string(format::kIsTweakEnabled), true}};
    for (std::int64_t i = 0; i < n; ++i) {
      cards += fmt::format(
          "BEGIN:VCARD\nVERSION:3.0\nUID:c{}\nN:Family{};Given{};;;\n"
          "TEL:+1 555 {:07}\nEND:VCARD\n",
          i, i % 97, i, i);
      if (i % 10 == 0) {
        settings[fmt::format("c{}", i)] =
            platform::Dictionary{{std::string(format::kIsContactEnabled), true},
                                 {std::string(format::kCustomReply), "Back soon."}};
      }
    }
    const auto book = *root.map(platform::contacts::kAddressBookPath);
    fs::create_directories(book.parent_path());
    std::ofstream(book) << cards;
    if (!platform::updatePlist(format::kMainSettingsPath, [&](platform::Dictionary& stored) {
          stored = settings;
          return true;
        })) {
      platform::fatal("could not write the settings to measure");
    }
  }

 private:
  platform::Process process_;
  platform::ProcessScope scope_;
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_OpenContactList(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  SettingsProcess settingsApp(n);
  double pageSeconds = 0;
  double readSeconds = 0;
  std::int64_t reads = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto page = platform::preferences::allocate<mornaqprefs::ContactListPage>(
        mornaqprefs::MNQContactListController::kClassName);
    benchmark::DoNotOptimize(page->specifiers().size());
    pageSeconds += seconds(Clock::now() - start);

    state.PauseTiming();
    const auto readStart = Clock::now();
    benchmark::DoNotOptimize(platform::readPlist(format::kMainSettingsPath).size());
    readSeconds += seconds(Clock::now() - readStart);
    ++reads;
    state.ResumeTiming();
  }
  const double extraReads = (readSeconds / reads) * static_cast<double>(n - 1);
  const double perPage = pageSeconds / reads;
  state.counters["per_row_reads"] = (perPage + extraReads) / perPage;
}
BENCHMARK(BM_OpenContactList)->Arg(100)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
