// mornaq install --root DIR: lays the add-on into a device root.
#include <iostream>
#include <memory>
#include <string>

#include "tools/commands.h"
#include "tools/package.h"

namespace {

tools::Run addInstall(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "install", "Lay the add-on into a device root (settings files are left alone)");
  auto root = std::make_shared<std::string>();
  command->add_option("--root", *root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  return [root] {
    if (const auto installed = tools::installPackage(*root); !installed) {
      std::cerr << "mornaq install: " << installed.reason() << '\n';
      return 1;
    }
    std::cout << "Installed Mornaq into " << *root << '\n';
    return 0;
  };
}

const bool registered = tools::registerSubcommand(addInstall);

}  // namespace
