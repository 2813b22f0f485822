// mornaq replay --root DIR [--me NAME] [--date-order dmy|mdy|ymd] [--json] EXPORT...:
// rehearses Mornaq on chats exported from the messaging app: each export runs
// through the real app with the add-on, in virtual time, on a private copy of
// the device root's settings, and what Mornaq would have done is printed
// message by message, then summed up.
#include <unistd.h>

#include <fmt/format.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/listed_contacts.h"
#include "tools/replay/chat_export.h"
#include "tools/replay/rehearsal.h"
#include "tools/replay/transcript.h"
#include "tools/replay/who_is_who.h"

namespace tools {
namespace {

namespace fs = std::filesystem;
using namespace tools::replay;

struct Options {
  std::string root;
  std::optional<std::string> me;
  std::optional<std::string> dateOrder;
  bool json = false;
  std::vector<std::string> exports;
};

// How many received messages pass between two progress lines.
constexpr std::size_t kProgressStep = 500;

// On a terminal, how far the app is through a long export.
RehearsalProgress progressFor(const fs::path& path) {
  if (!::isatty(STDERR_FILENO)) return {};
  return [name = path.filename().string()](std::size_t received, std::size_t of) {
    if (received % kProgressStep != 0 && received != of) return;
    std::cerr << fmt::format("\rRehearsing {}: {} of {} messages", name, received, of);
    if (received == of) std::cerr << "\r\x1b[K";
    std::cerr << std::flush;
  };
}

void noteAssumedOrder(const fs::path& path) {
  std::cerr << fmt::format(
      "mornaq replay: {}: every date reads both day first and month first; day first was "
      "taken (--date-order mdy reads them month first)\n",
      path.string());
}

platform::Result<> replayOne(const Options& options, std::span<const ListedContact> addressBook,
                             const fs::path& path) {
  const auto chat = ChatExport::open(
      path, options.dateOrder ? dateOrderNamed(*options.dateOrder) : std::optional<DateOrder>());
  PLATFORM_TRY(chat);
  if (chat->overview().dateOrder.assumed) noteAssumedOrder(path);
  const auto roles = decideRoles(chat->overview(), options.me, addressBook, path);
  PLATFORM_TRY(roles);
  const auto rehearsal = rehearse(*chat, *roles, options.root, progressFor(path));
  if (!rehearsal) return platform::Failure{path.string() + ": " + rehearsal.reason()};
  const TranscriptFormat format{.json = options.json,
                                .colour = !options.json && ::isatty(STDOUT_FILENO)};
  return printTranscript(std::cout, format, *chat, *roles, *rehearsal);
}

int runReplay(const Options& options) {
  const auto addressBook = listedContacts(options.root);
  bool allRead = true;
  for (std::size_t i = 0; i < options.exports.size(); ++i) {
    if (i > 0 && !options.json) std::cout << '\n';
    if (const auto replayed = replayOne(options, addressBook, options.exports[i]); !replayed) {
      std::cout << std::flush;
      std::cerr << "mornaq replay: " << replayed.reason() << '\n';
      allRead = false;
    }
  }
  return allRead ? 0 : 2;
}

const bool registered = registerSubcommand([](CLI::App& mornaq) -> Run {
  auto options = std::make_shared<Options>();
  auto* command = mornaq.add_subcommand(
      "replay", "Rehearse Mornaq on exported chats: what it would have sent, when, and why not");
  command->add_option("--root", options->root, "The device root whose settings are rehearsed")
      ->required()
      ->check(CLI::ExistingDirectory);
  command->add_option("--me", options->me, "Your name as the exports write it");
  command
      ->add_option("--date-order", options->dateOrder,
                   "The order of the dates' numbers when every date reads both ways")
      ->check(CLI::IsMember({"dmy", "mdy", "ymd"}));
  command->add_flag("--json", options->json, "Print one JSON object a message, then a summary");
  command
      ->add_option("export", options->exports,
                   "A chat exported from the messaging app: its .txt or the .zip holding it")
      ->required();
  return [options] { return runReplay(*options); };
});

}  // namespace
}  // namespace tools
