// mornaq switch [on|off] --root DIR: sets the add-on's master switch, or
// prints it ("on" or "off"), as the gesture listeners do: through the hook
// library's exported MqSetState and MqGetState; MqSetStateFailure tells
// whether the switch was stored.
#include <dlfcn.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "hosts/springboard/springboard_app.h"
#include "platform/process/process.h"
#include "platform/substrate/loader.h"
#include "tools/commands.h"

namespace {

struct Options {
  std::string root;
  std::optional<std::string> state;
};

template <class Function>
Function* exported(void* library, const char* name) {
  return reinterpret_cast<Function*>(::dlsym(library, name));
}

// The installed library itself is opened, in a process that passes for the
// home screen, and its exported C functions called, as a script on the
// phone would: so the switch goes through exactly the code that the
// listeners run, including the library's load-time seeding.
int runSwitch(const Options& options) {
  platform::Process process({
      .bundleIdentifier = hosts::springboard::kBundleIdentifier,
      .name = "SpringBoard",
      .deviceRoot = options.root,
      .clock = platform::Clock::Virtual,
      .logSink = {},
  });
  platform::ProcessScope scope(process);
  const auto library = process.root().map(
      std::string(platform::substrate::kDynamicLibrariesFolder) + "Mornaq.dylib");
  void* handle = ::dlopen(library->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::cerr << "mornaq switch: cannot load the hook library (is it installed?): " << ::dlerror()
              << '\n';
    return 1;
  }
  auto* setState = exported<void(bool)>(handle, "MqSetState");
  auto* getState = exported<bool()>(handle, "MqGetState");
  auto* setStateFailure = exported<const char*()>(handle, "MqSetStateFailure");
  if (!setState || !getState || !setStateFailure) {
    std::cerr << "mornaq switch: the hook library exports no MqSetState, MqGetState or "
                 "MqSetStateFailure\n";
    return 1;
  }
  if (options.state) {
    setState(*options.state == "on");
    if (const char* failure = setStateFailure()) {
      std::cerr << "mornaq switch: the switch was not stored: " << failure << '\n';
      return 1;
    }
    return 0;
  }
  std::cout << (getState() ? "on" : "off") << '\n';
  return 0;
}

tools::Run addSwitch(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "switch", "Switch the add-on on or off, or print whether it is on, as the gestures do");
  auto options = std::make_shared<Options>();
  command->add_option("--root", options->root, "The device root folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  command->add_option("state", options->state, "on or off; absent: print the switch")
      ->check(CLI::IsMember({"on", "off"}));
  return [options] { return runSwitch(*options); };
}

const bool registered = tools::registerSubcommand(addSwitch);

}  // namespace
