// mornaq settings --root DIR [--json] [SCRIPT]: runs the simulated Settings
// app on the settings bundle's pages through a script of user actions.
#include <iostream>
#include <memory>
#include <string>

#include "hosts/settings/settings_run.h"
#include "tools/commands.h"
#include "tools/scenario_source.h"

namespace {

struct Options {
  hosts::settings::RunOptions run;
  bool json = false;
  std::string script = "-";
};

int runSettings(Options& options) {
  options.run.format =
      options.json ? hosts::EventOutput::Format::Json : hosts::EventOutput::Format::Readable;
  // The script is read whole before the first action, like a scenario on a
  // virtual clock: nothing in the Settings app waits for time to pass. Live,
  // standard input acts line by line instead.
  if (options.run.live) {
    if (options.script != "-") {
      std::cerr << "mornaq settings: --live reads standard input, not a script file\n";
      return 2;
    }
    return hosts::settings::run(options.run, std::cin, std::cout, std::cerr);
  }
  return tools::runScenarioFrom("settings", options.script, /*virtualTime=*/true,
                                [&](std::istream& in, hosts::scenario::Input) {
                                  return hosts::settings::run(options.run, in, std::cout,
                                                              std::cerr);
                                });
}

tools::Run addSettings(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "settings", "Run the simulated Settings app on Mornaq's pages (one JSON action a line)");
  auto options = std::make_shared<Options>();
  command->add_option("--root", options->run.root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  command->add_flag("--json", options->json, "Print one JSON object a line");
  command->add_flag("--live", options->run.live,
                    "Act on each line of standard input as it arrives; a failing line does not "
                    "end the run");
  command->add_option("script", options->script,
                      "The script of user actions; standard input when absent or -");
  return [options] { return runSettings(*options); };
}

const bool registered = tools::registerSubcommand(addSettings);

}  // namespace
