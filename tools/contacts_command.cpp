// mornaq contacts: the address book of a device root.
//   mornaq contacts --root DIR                 lists each listed contact's identifier and display
//   name mornaq contacts import --root DIR FILE.vcf  makes FILE the address book
#include <fmt/format.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/contacts/contacts.h"
#include "platform/contacts/vcard_reader.h"
#include "platform/foundation/file_io.h"
#include "platform/process/process.h"
#include "tools/commands.h"
#include "tools/listed_contacts.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

struct Options {
  std::string root;
  std::string importRoot;
  std::string file;
};

// Runs body inside a Settings app process on the device root, as the
// settings pages would see the address book.
template <class Body>
int inSettingsProcess(const std::string& root, Body body) {
  platform::Process process({.bundleIdentifier = "com.apple.Preferences",
                             .name = "Preferences",
                             .deviceRoot = root,
                             .clock = platform::Clock::Virtual,
                             .logSink = {}});
  platform::ProcessScope scope(process);
  return body();
}

int listContacts(const std::string& root) {
  for (const auto& contact : listedContacts(root)) {
    fmt::print("{}\t{}\n", contact.identifier, contact.name);
  }
  return 0;
}

// Makes file the address book at target when a card can be read from it, whole, so that a
// reader sees the old address book or the new one, never a part. Gives the number of cards read.
platform::Result<int> importCards(const fs::path& file, const fs::path& target) {
  const auto text = platform::readWholeFile(file);
  int cards = 0;
  const auto read =
      text ? platform::contacts::forEachVCard(*text, file.string(), [&](auto&) { ++cards; })
           : platform::Result<>(text.failure());
  if (!read)
    return platform::Failure{fmt::format("cannot read {}: {}", file.string(), read.reason())};
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  const auto copied =
      error ? platform::systemFailure(error) : platform::replaceFileAtomically(target, *text);
  if (!copied) {
    return platform::Failure{
        fmt::format("cannot copy {} to {}: {}", file.string(), target.string(), copied.reason())};
  }
  return cards;
}

int importAddressBook(const std::string& root, const fs::path& file) {
  return inSettingsProcess(root, [&] {
    const auto target = *platform::DeviceRoot(root).map(platform::contacts::kAddressBookPath);
    const auto cards = importCards(file, target);
    if (!cards) {
      fmt::print(stderr, "mornaq contacts import: {}\n", cards.reason());
      return 1;
    }
    fmt::print("imported {} contacts into {}\n", *cards, root);
    return 0;
  });
}

const bool registered = registerSubcommand([](CLI::App& mornaq) -> Run {
  auto options = std::make_shared<Options>();
  auto* contacts = mornaq.add_subcommand("contacts", "List the address book of a device root");
  contacts->add_option("--root", options->root, "The device root")->check(CLI::ExistingDirectory);
  auto* import = contacts->add_subcommand("import", "Make a vCard file the address book");
  import->add_option("--root", options->importRoot, "The device root")->required();
  import->add_option("file", options->file, "The vCard file (.vcf)")
      ->required()
      ->check(CLI::ExistingFile);
  return [options, import]() -> int {
    if (import->parsed()) return importAddressBook(options->importRoot, options->file);
    if (options->root.empty()) {
      fmt::print(stderr, "mornaq contacts: --root is required\n");
      return 2;
    }
    return listContacts(options->root);
  };
});

}  // namespace
}  // namespace tools
