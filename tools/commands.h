#pragma once
// Each subcommand of `mornaq` lives in a file of its own and registers itself
// here at start-up; main() parses the command line and runs the one chosen.
#include <CLI/CLI.hpp>
#include <functional>

namespace tools {

// Runs the chosen subcommand and gives the exit status.
using Run = std::function<int()>;
// Adds a subcommand (with its options) to the command line; returns its Run.
using AddSubcommand = std::function<Run(CLI::App& mornaq)>;

// Use as: static const bool registered = tools::registerSubcommand(addInstall);
bool registerSubcommand(AddSubcommand add);

}  // namespace tools
