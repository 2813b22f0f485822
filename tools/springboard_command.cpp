// mornaq springboard --root DIR [--virtual-time] [--json] [SCENARIO]: runs
// the simulated home screen through a scenario.
#include <iostream>
#include <memory>
#include <string>

#include "hosts/springboard/springboard_run.h"
#include "tools/commands.h"
#include "tools/scenario_source.h"

namespace {

struct Options {
  hosts::springboard::RunOptions run;
  bool json = false;
  std::string scenario = "-";
};

int runSpringBoard(Options& options) {
  options.run.format =
      options.json ? hosts::EventOutput::Format::Json : hosts::EventOutput::Format::Readable;
  return tools::runScenarioFrom("springboard", options.scenario, options.run.virtualTime,
                                [&options](std::istream& in, hosts::scenario::Input input) {
                                  options.run.input = input;
                                  return hosts::springboard::run(options.run, in, std::cout,
                                                                 std::cerr);
                                });
}

tools::Run addSpringBoard(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "springboard", "Run the simulated home screen through a scenario (one JSON event a line)");
  auto options = std::make_shared<Options>();
  command->add_option("--root", options->run.root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  command->add_flag("--virtual-time", options->run.virtualTime,
                    "Run on a virtual clock: no real time passes");
  command->add_flag("--json", options->json, "Print one JSON object a line");
  command->add_option("scenario", options->scenario,
                      "The scenario file; standard input when absent or -");
  return [options] { return runSpringBoard(*options); };
}

const bool registered = tools::registerSubcommand(addSpringBoard);

}  // namespace
