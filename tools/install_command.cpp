// mornaq install --root DIR [--package FILE.deb]: installs the add-on's
// package into a device root, as the phone's package manager does.
#include <iostream>
#include <memory>
#include <string>

#include "tools/commands.h"
#include "tools/package.h"
#include "tools/package_refusal.h"

namespace {

tools::Run addInstall(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "install", "Install the add-on's package into a device root (settings files are left alone)");
  auto root = std::make_shared<std::string>();
  auto package = std::make_shared<std::string>();
  command->add_option("--root", *root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  command
      ->add_option("--package", *package,
                   "The package to install (default: the one built with this command)")
      ->check(CLI::ExistingFile);
  return [root, package] {
    const auto installed =
        package->empty() ? tools::installPackage(*root) : tools::installPackage(*root, *package);
    if (!installed) {
      std::cerr << "mornaq install: " << installed.reason() << '\n';
      return tools::deb::isRefusal(installed.failure()) ? 2 : 1;
    }
    std::cout << "Installed Mornaq " << *installed << " into " << *root << '\n';
    return 0;
  };
}

const bool registered = tools::registerSubcommand(addInstall);

}  // namespace
