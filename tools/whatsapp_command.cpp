// mornaq whatsapp --root DIR [--version V] [--virtual-time [--start DATE] [--seed N]] [--json]
// [--why] [SCENARIO]:
// runs the simulated messaging app through a scenario.
#include <iostream>
#include <memory>
#include <string>

#include "hosts/whatsapp/whatsapp_run.h"
#include "tools/app_version_option.h"
#include "tools/commands.h"
#include "tools/date_option.h"
#include "tools/scenario_source.h"

namespace {

struct Options {
  hosts::whatsapp::RunOptions run;
  bool json = false;
  std::string scenario = "-";
};

int runWhatsApp(Options& options) {
  options.run.format =
      options.json ? hosts::EventOutput::Format::Json : hosts::EventOutput::Format::Readable;
  return tools::runScenarioFrom("whatsapp", options.scenario, options.run.virtualTime,
                                [&options](std::istream& in, hosts::scenario::Input input) {
                                  options.run.input = input;
                                  return hosts::whatsapp::run(options.run, in, std::cout,
                                                              std::cerr);
                                });
}

tools::Run addWhatsApp(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "whatsapp", "Run the simulated messaging app through a scenario (one JSON event a line)");
  auto options = std::make_shared<Options>();
  command->add_option("--root", options->run.root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  tools::addAppVersionOption(*command, options->run.version);
  command->add_flag("--virtual-time", options->run.virtualTime,
                    "Run on a virtual clock: no real time passes");
  tools::addDateOption(*command, "--start", options->run.start,
                       "The local date and time at which the virtual clock starts (default: now)")
      ->needs("--virtual-time");
  command
      ->add_option("--seed", options->run.seed,
                   "What replies with alternatives are chosen by on the virtual clock (default 0)")
      ->needs("--virtual-time");
  command->add_flag("--json", options->json, "Print one JSON object a line");
  command->add_flag("--why", options->run.why,
                    "Also print why each received message got its reply or none");
  command->add_option("scenario", options->scenario,
                      "The scenario file; standard input when absent or -");
  return [options] { return runWhatsApp(*options); };
}

const bool registered = tools::registerSubcommand(addWhatsApp);

}  // namespace
