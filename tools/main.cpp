// mornaq: installs the add-on into a device root and runs the simulated apps.
#include <utility>
#include <vector>

#include "common/version.h"
#include "tools/commands.h"

namespace tools {
namespace {

std::vector<AddSubcommand>& registry() {
  static std::vector<AddSubcommand> adders;
  return adders;
}

}  // namespace

bool registerSubcommand(AddSubcommand add) {
  registry().push_back(std::move(add));
  return true;
}

}  // namespace tools

int main(int argc, char** argv) {
  CLI::App mornaq("Mornaq: automatic replies, with the phone's apps simulated", "mornaq");
  mornaq.set_version_flag("--version", "mornaq " MORNAQ_VERSION);
  mornaq.require_subcommand(1);
  std::vector<std::pair<CLI::App*, tools::Run>> subcommands;
  for (const auto& add : tools::registry()) {
    const std::size_t before = mornaq.get_subcommands({}).size();
    tools::Run run = add(mornaq);
    subcommands.emplace_back(mornaq.get_subcommands({}).at(before), std::move(run));
  }
  CLI11_PARSE(mornaq, argc, argv);
  for (auto& [app, run] : subcommands) {
    if (app->parsed()) return run();
  }
  return 2;
}
