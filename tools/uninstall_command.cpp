// mornaq uninstall --root DIR [--purge]: removes the add-on's package from a
// device root, as the phone's package manager does.
#include <iostream>
#include <memory>
#include <string>

#include "tools/commands.h"
#include "tools/package.h"

namespace {

tools::Run addUninstall(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "uninstall", "Remove the add-on's package from a device root (settings are kept)");
  auto root = std::make_shared<std::string>();
  auto purge = std::make_shared<bool>(false);
  command->add_option("--root", *root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  command->add_flag("--purge", *purge, "Remove the add-on's settings and reply history too");
  return [root, purge] {
    if (const auto removed = tools::uninstallPackage(*root, *purge); !removed) {
      std::cerr << "mornaq uninstall: " << removed.reason() << '\n';
      return 1;
    }
    std::cout << (*purge ? "Removed Mornaq and its settings from " : "Removed Mornaq from ")
              << *root << '\n';
    return 0;
  };
}

const bool registered = tools::registerSubcommand(addUninstall);

}  // namespace
