// Reading and updating a settings file shaped like the add-on's main settings: a few switches
// and texts, and one small dictionary per contact. Each benchmark also reports its ratio to the
// simplest correct approach without this layer's guards and conversions: libplist parsing the
// bytes (for reading), or parsing and writing them back through the same atomic replacement
// (for updating).
//
// Files live in /dev/shm when it exists, so that the two flushes to disk per update, which cost
// tens of milliseconds on a slow disk and the same for both approaches, do not drown the rest.
#include <benchmark/benchmark.h>
#include <plist/plist.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/foundation/file_io.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/process/process.h"

namespace {

namespace fs = std::filesystem;
using platform::Array;
using platform::Date;
using platform::Dictionary;

constexpr std::string_view kSettings = "/var/mobile/Library/Preferences/com.example.main.plist";
constexpr int kBaselineCalls = 10;
constexpr double kBaselineSeconds = 0.5;

Dictionary contact(int i) {
  Dictionary entry{{"name", "Contact " + std::to_string(i)}, {"enabled", i % 3 != 0}};
  if (i % 2 == 0) entry.insert_or_assign("replyText", "Busy right now, back at 5 & not later.");
  if (i % 4 == 0) entry.insert_or_assign("lastReply", Date{700'000'000.0 + i});
  if (i % 5 == 0) entry.insert_or_assign("replies", i);
  if (i % 7 == 0) entry.insert_or_assign("groups", Array{"family", "work"});
  return entry;
}

Dictionary mainSettings(int contacts) {
  Dictionary list;
  for (int i = 0; i < contacts; ++i)
    list.insert_or_assign("+4915" + std::to_string(10'000'000 + i), contact(i));
  return Dictionary{{"enabled", true},
                    {"replyText", "I am driving and will answer later."},
                    {"delay", 5},
                    {"contacts", std::move(list)}};
}

// A process whose device root holds the settings file, removed afterwards.
class Fixture {
 public:
  explicit Fixture(int contacts)
      : root_((fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
              ("mornaq-bench-plist-" + std::to_string(::getpid()))),
        process_({.bundleIdentifier = "com.example.bench",
                  .name = "bench",
                  .deviceRoot = root_,
                  .clock = platform::Clock::Virtual,
                  .logSink = [](std::string_view) {}}),
        scope_(process_) {
    fs::create_directories(file().parent_path());
    if (!platform::replaceFileAtomically(file(),
                                         platform::serializePropertyList(mainSettings(contacts)))) {
      platform::fatal("could not write the settings to measure");
    }
  }
  ~Fixture() { fs::remove_all(root_); }

  fs::path file() const { return *process_.root().map(kSettings); }

 private:
  fs::path root_;
  platform::Process process_;
  platform::ProcessScope scope_;
};

plist_t plainParse(const fs::path& file) {
  const auto read = platform::readWholeFile(file);
  const std::string bytes = read ? *read : std::string();
  plist_t root = nullptr;
  plist_from_xml(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  return root;
}

void plainRead(const fs::path& file) { plist_free(plainParse(file)); }

void plainUpdate(const fs::path& file) {
  plist_t root = plainParse(file);
  plist_dict_set_item(root, "enabled", plist_new_bool(0));
  char* xml = nullptr;
  std::uint32_t length = 0;
  plist_to_xml(root, &xml, &length);
  const auto written = platform::replaceFileAtomically(file, std::string_view(xml, length));
  plist_to_xml_free(xml);
  if (!written) platform::fatal("could not write the measured settings: " + written.reason());
  plist_free(root);
}

// Processor time, which other work on the machine does not inflate as it does wall time.
double processorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Processor seconds per call of the simplest approach, for the ratio counter, measured warm
// and for long enough to be steady, as the benchmark loop is.
template <class F>
double secondsPerCall(F&& call) {
  call();
  const double start = processorSeconds();
  int calls = 0;
  do {
    call();
    ++calls;
  } while (calls < kBaselineCalls || processorSeconds() - start < kBaselineSeconds);
  return (processorSeconds() - start) / calls;
}

void reportRatio(benchmark::State& state, double ours, double plain) {
  state.counters["ratio_to_plain_libplist"] = ours / plain;
  state.counters["contacts"] = static_cast<double>(state.range(0));
}

void BM_ReadSettings(benchmark::State& state) {
  const Fixture fixture(static_cast<int>(state.range(0)));
  const double start = processorSeconds();
  for (auto _ : state) benchmark::DoNotOptimize(platform::readPlist(kSettings));
  const double ours = (processorSeconds() - start) / static_cast<double>(state.iterations());
  reportRatio(state, ours, secondsPerCall([&] { plainRead(fixture.file()); }));
}

void BM_UpdateSettings(benchmark::State& state) {
  const Fixture fixture(static_cast<int>(state.range(0)));
  bool on = false;
  const double start = processorSeconds();
  for (auto _ : state) {
    on = !on;
    if (!platform::updatePlist(kSettings, [&](Dictionary& settings) {
          settings.insert_or_assign("enabled", on);
          return true;
        })) {
      platform::fatal("could not write the settings to measure");
    }
  }
  const double ours = (processorSeconds() - start) / static_cast<double>(state.iterations());
  reportRatio(state, ours, secondsPerCall([&] { plainUpdate(fixture.file()); }));
}

BENCHMARK(BM_ReadSettings)->Arg(10)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateSettings)->Arg(10)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
