// mornaq explain --root DIR [--json] [--version V] [MESSAGE]: what the
// messaging app would do with a received message, and why, without sending,
// queueing or writing anything. MESSAGE is a receive event's object; without
// it (or with -) one message a line from standard input, each answered as
// soon as its line arrives.
#include <fmt/format.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "hosts/whatsapp/whatsapp_app.h"
#include "tools/app_version_option.h"
#include "tools/commands.h"
#include "tools/date_option.h"
#include "tools/explain.h"

namespace tools {
namespace {

struct Options {
  std::string root;
  std::string version = hosts::whatsapp::kDefaultVersion;
  bool json = false;
  std::optional<platform::Date> at;
  std::string message = "-";
};

bool isSkipped(const std::string& line) {
  const auto first = line.find_first_not_of(" \t\r");
  return first == std::string::npos || line[first] == '#';
}

// The message of one line.
platform::Result<hosts::whatsapp::Received> readMessage(const std::string& line) {
  const auto json = nlohmann::json::parse(line, nullptr, false);
  if (json.is_discarded()) return platform::Failure{"not valid JSON"};
  return hosts::whatsapp::readReceived(json);
}

// Answers one line; false (after naming the line) for a malformed message.
bool answer(Explainer& explainer, const std::string& line, int number, bool json) {
  const auto message = readMessage(line);
  if (!message) {
    std::cerr << fmt::format("line {}: {}\n", number, message.reason()) << std::flush;
    return false;
  }
  const nlohmann::json answered = explainer.explain(*message);
  std::cout << (json ? answered.dump() + '\n' : readableAnswer(answered)) << std::flush;
  return true;
}

int runExplain(const Options& options) {
  Explainer explainer(options.root, options.version, options.at);
  if (options.message != "-") return answer(explainer, options.message, 1, options.json) ? 0 : 2;
  bool allWell = true;
  int number = 0;
  for (std::string line; std::getline(std::cin, line);) {
    ++number;
    if (isSkipped(line)) continue;
    allWell = answer(explainer, line, number, options.json) && allWell;
  }
  return allWell ? 0 : 2;
}

const bool registered = registerSubcommand([](CLI::App& mornaq) -> Run {
  auto options = std::make_shared<Options>();
  auto* command = mornaq.add_subcommand(
      "explain", "Tell what the messaging app would do with a received message, and why");
  command->add_option("--root", options->root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  command->add_flag("--json", options->json, "Print one JSON object an answer");
  addAppVersionOption(*command, options->version);
  addDateOption(*command, "--at", options->at,
                "The local date and time the message arrives at (default: now)");
  command->add_option("message", options->message,
                      "A received message, {\"text\":S,\"chat\":CHAT}; standard input, one a "
                      "line, when absent or -");
  return [options] { return runExplain(*options); };
});

}  // namespace
}  // namespace tools
