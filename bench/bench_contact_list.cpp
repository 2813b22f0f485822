// Cost of opening a contact list page (the scan, one row per contact with its
// state icon) at 100, 1,000, 3,000 and 100,000 contacts, every tenth of them with an
// entry in the main settings file. The page reads that file once for all
// rows; the simplest correct page reads it again for every row. The column
// "per_row_reads" gives how many times longer the page would take that way:
// its own time plus one more read of the file per further row, each read
// timed here on the same file. The column "landed_scan" gives how many times
// longer it took with the landed scan: its own time less the scan's, plus the
// landed scan's, each timed here on the same address book. "page_cpu_ms" is
// the page's CPU time. BM_FirstOpenContactList, run first, is one open at
// 100,000 contacts as the first thing the OS process does: it also parses
// the main settings file and touches memory no earlier open has used.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "MornaqPrefs/pages/contact_list_controller.h"
#include "MornaqPrefs/pages/contact_settings_controller.h"
#include "MornaqPrefs/pages/page_classes.h"
#include "bench/landed_contact_scan.h"
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
    fs::copy(MORNAQPREFS_RESOURCES, bundle,
             fs::copy_options::overwrite_existing | fs::copy_options::recursive);

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

// CPU time of this process: the machine is shared, so wall time says more
// about the others.
double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void BM_OpenContactList(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  SettingsProcess settingsApp(n);
  double pageSeconds = 0;
  double readSeconds = 0;
  double scanSeconds = 0;
  double landedScanSeconds = 0;
  std::int64_t pages = 0;
  for (auto _ : state) {
    const double start = cpuSeconds();
    auto page = platform::preferences::allocate<mornaqprefs::ContactListPage>(
        mornaqprefs::MNQContactListController::kClassName);
    benchmark::DoNotOptimize(page->specifiers().size());
    pageSeconds += cpuSeconds() - start;

    state.PauseTiming();
    const double readStart = cpuSeconds();
    benchmark::DoNotOptimize(platform::readPlist(format::kMainSettingsPath).size());
    const double scanStart = cpuSeconds();
    benchmark::DoNotOptimize(mornaqprefs::scanContacts());
    const double landedStart = cpuSeconds();
    benchmark::DoNotOptimize(landed::scanContacts());
    const double end = cpuSeconds();
    readSeconds += scanStart - readStart;
    scanSeconds += landedStart - scanStart;
    landedScanSeconds += end - landedStart;
    ++pages;
    state.ResumeTiming();
  }
  const double perPage = pageSeconds / pages;
  const double extraReads = (readSeconds / pages) * static_cast<double>(n - 1);
  const double landedPage = perPage - scanSeconds / pages + landedScanSeconds / pages;
  state.counters["page_cpu_ms"] = perPage * 1000;
  state.counters["per_row_reads"] = (perPage + extraReads) / perPage;
  state.counters["landed_scan"] = landedPage / perPage;
}
BENCHMARK(BM_OpenContactList)
    ->Name("BM_FirstOpenContactList")
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenContactList)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Opening a contact's reply page and showing the value of every row, the
// main settings file holding the entries of a tenth of n contacts. Each row
// reads the file shared; "per_row_copies" gives how many times longer the
// page would take if every row's read copied the file, each copy timed here.
void BM_OpenContactPage(benchmark::State& state) {
  SettingsProcess settingsApp(state.range(0));
  double pageSeconds = 0;
  double copySeconds = 0;
  std::int64_t rows = 0;
  for (auto _ : state) {
    const double start = cpuSeconds();
    auto page = platform::preferences::allocate<mornaqprefs::ContactSettingsPage>(
        mornaqprefs::MNQContactSettingsController::kClassName);
    page->setPhoneNumber("c10");
    for (const auto& row : page->specifiers()) benchmark::DoNotOptimize(row->performGetter());
    pageSeconds += cpuSeconds() - start;

    state.PauseTiming();
    const auto& shown = page->specifiers();
    rows += std::count_if(shown.begin(), shown.end(), [](const auto& row) {
      return row->getter() == platform::preferences::kReadPreferenceValue;
    });
    const double copyStart = cpuSeconds();
    benchmark::DoNotOptimize(platform::readPlist(format::kMainSettingsPath).size());
    copySeconds += cpuSeconds() - copyStart;
    state.ResumeTiming();
  }
  const auto pages = static_cast<double>(state.iterations());
  const double perPage = pageSeconds / pages;
  const double copies = copySeconds / pages * (static_cast<double>(rows) / pages);
  state.counters["page_cpu_ms"] = perPage * 1000;
  state.counters["per_row_copies"] = (perPage + copies) / perPage;
}
BENCHMARK(BM_OpenContactPage)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
