// Cost of building a contact list page's data: the address-book scan (read
// and parse the vCard file, display names made unique, the sort) at 1,000,
// 10,000 and 100,000 contacts. The baseline is the simplest correct scan,
// whose in-use test compares each candidate name with every name already in
// the directory; the scan is also measured against the landed one (before
// the reader worked on views and the sort on collation keys), and the sort,
// one collation key per name, against a collator call per comparison. The
// ratios are printed after the table.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "MornaqPrefs/contacts/contact_directory.h"
#include "bench/landed_contact_scan.h"
#include "platform/contacts/contacts.h"
#include "platform/process/process.h"
#include "platform/text/text.h"

namespace {

namespace contacts = platform::contacts;

constexpr const char* kGiven[] = {
    "Alice", "bob",   "Carol",   "Dmitri", "Émile", "Fatima", "Greta", "Hiro",  "Ines",  "Jamal",
    "Kofi",  "Lena",  "Mateo",   "Nadia",  "Oskar", "Priya",  "Quinn", "Rosa",  "Sven",  "Tariq",
    "Uma",   "Vera",  "Wanjiru", "Xavier", "Yusuf", "Zoë",    "Amir",  "Björn", "Chloé", "Dara",
    "Eitan", "Freya", "Gideon",  "Hana",   "Ivo",   "Jun",    "Kaia",  "Luis",  "Mei",   "Noor"};
constexpr const char* kFamily[] = {
    "Smith",  "García",     "Nguyen",   "Müller", "Rossi",   "Kowalski", "Ivanova",   "Chen",
    "Okafor", "Dubois",     "Haddad",   "Silva",  "Tanaka",  "Novak",    "Cohen",     "Larsen",
    "Murphy", "Singh",      "Kim",      "Jones",  "Brown",   "Yılmaz",   "Andersson", "Popescu",
    "Horvat", "Kuznetsova", "Moreau",   "Costa",  "Fischer", "Nakamura", "O'Brien",   "Petrov",
    "Rahman", "Santos",     "Tremblay", "Weber",  "Ali",     "Park",     "Lopez",     "van Dijk"};

// An address book of n contacts: 40 given names with 26 initials and 40
// family names make 41,600 display names, so the larger books repeat names and take
// suffixes, as real ones do now and then.
std::string addressBook(std::int64_t n) {
  std::string text;
  std::uint32_t random = 12345;
  const auto next = [&random] { return (random = random * 1103515245u + 12345u) >> 16; };
  for (std::int64_t i = 0; i < n; ++i) {
    const char* given = kGiven[next() % std::size(kGiven)];
    const char initial = static_cast<char>('A' + next() % 26);
    const char* family = kFamily[next() % std::size(kFamily)];
    text += fmt::format(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:{:04X}-{}\r\nN:{};{} {}.;;;\r\nFN:{} {}. {}\r\n"
        "TEL;TYPE=CELL:+1 555 {:07}\r\nEND:VCARD\r\n",
        next(), i, family, given, initial, given, initial, family, i);
  }
  return text;
}

// A Settings app process whose device root holds an address book of n
// contacts; the file is written once per size.
class SettingsProcess {
 public:
  explicit SettingsProcess(std::int64_t n)
      : process_({.bundleIdentifier = "com.apple.Preferences",
                  .name = "Preferences",
                  .deviceRoot = rootFor(n),
                  .clock = platform::Clock::Virtual,
                  .logSink = [](std::string_view) {}}),
        scope_(process_) {}

 private:
  static std::filesystem::path rootFor(std::int64_t n) {
    const auto root =
        std::filesystem::temp_directory_path() / fmt::format("mornaq-bench-contacts-{}", n);
    const platform::DeviceRoot device(root);
    const auto path = *device.map(contacts::kAddressBookPath);
    if (!std::filesystem::exists(path)) {
      std::filesystem::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary) << addressBook(n);
    }
    return root;
  }

  platform::Process process_;
  platform::ProcessScope scope_;
};

void BM_Scan(benchmark::State& state) {
  SettingsProcess process(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(mornaqprefs::scanContacts());
  state.counters["listed"] = static_cast<double>(mornaqprefs::dOfPerson().size());
}

// The same scan with the in-use test that compares a name with every name
// listed so far. The names sit in a vector, the fastest place to scan them,
// so that the ratio flatters the baseline rather than the index.
void BM_ScanQuadraticBaseline(benchmark::State& state) {
  SettingsProcess process(state.range(0));
  for (auto _ : state) {
    platform::Dictionary directory;
    std::vector<std::string> listed;
    const auto inUse = [&listed](const std::string& name) {
      return std::ranges::find(listed, name) != listed.end();
    };
    contacts::CNContactFetchRequest request({std::string(contacts::CNContactFamilyNameKey),
                                             std::string(contacts::CNContactGivenNameKey),
                                             std::string(contacts::CNContactPhoneNumbersKey)});
    const auto read = contacts::CNContactStore().enumerateContactsWithFetchRequest(
        request, [&](const contacts::CNContact& contact, bool&) {
          if (contact.phoneNumbers().empty()) return;
          const std::string base = mornaqprefs::displayName(contact);
          std::string name = base;
          for (int n = 2; inUse(name); ++n) name = fmt::format("{}-{}", base, n);
          std::string key = contact.identifier();
          key.resize(key.size() - contacts::kIdentifierSuffix.size());
          listed.push_back(name);
          directory.emplace(std::move(key), std::move(name));
        });
    if (!read) state.SkipWithError(read.reason().c_str());
    benchmark::DoNotOptimize(mornaqprefs::sortedDictionary(directory));
  }
}

void BM_Sort(benchmark::State& state) {
  SettingsProcess process(state.range(0));
  mornaqprefs::scanContacts();
  const platform::Dictionary directory = mornaqprefs::dOfPerson();
  for (auto _ : state) benchmark::DoNotOptimize(mornaqprefs::sortedDictionary(directory));
}

// The sort as it was: a collator call per comparison.
void BM_SortByCollatorCalls(benchmark::State& state) {
  SettingsProcess process(state.range(0));
  mornaqprefs::scanContacts();
  const platform::Dictionary directory = mornaqprefs::dOfPerson();
  for (auto _ : state) {
    const platform::text::NameCollator collator;
    std::vector<std::tuple<std::string, const std::string*>> entries;
    for (const auto& [key, value] : directory) entries.emplace_back(value.description(), &key);
    std::ranges::sort(entries, [&collator](const auto& a, const auto& b) {
      const auto& [aName, aKey] = a;
      const auto& [bName, bKey] = b;
      if (const int order = collator.compare(aName, bName); order != 0) return order < 0;
      return std::tie(aName, *aKey) < std::tie(bName, *bKey);
    });
    mornaqprefs::OrderedDictionary sorted(entries.size());
    for (const auto& [name, key] : entries) sorted.setObject(name, *key);
    benchmark::DoNotOptimize(sorted);
  }
}

// The whole scan as it was before it was made fast.
void BM_ScanLanded(benchmark::State& state) {
  SettingsProcess process(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(landed::scanContacts());
}

BENCHMARK(BM_Scan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanQuadraticBaseline)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanLanded)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByCollatorCalls)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Prints, after the table, each baseline's time over the measured one, in
// CPU time: the machine is shared, so wall time says more about the others.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      milliseconds_[{run.run_name.function_name, run.run_name.args}] = run.GetAdjustedCPUTime();
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    printRatios("scan", "BM_Scan", "BM_ScanQuadraticBaseline", "quadratic in-use test");
    printRatios("scan", "BM_Scan", "BM_ScanLanded", "the landed scan");
    printRatios("sort", "BM_Sort", "BM_SortByCollatorCalls", "a collator call per comparison");
  }

 private:
  void printRatios(const char* what, const std::string& measured, const std::string& baseline,
                   const char* baselineName) {
    for (const auto& [name, ms] : milliseconds_) {
      if (name.first != measured) continue;
      const auto other = milliseconds_.find({baseline, name.second});
      if (other == milliseconds_.end()) continue;
      GetOutputStream() << fmt::format(
          "{} of {} contacts: {:.2f} ms; {}: {:.2f} ms; ratio {:.1f}\n", what, name.second, ms,
          baselineName, other->second, other->second / ms);
    }
  }

  std::map<std::pair<std::string, std::string>, double> milliseconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
