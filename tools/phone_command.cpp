// mornaq phone [--root DIR] [--port N]: the phone's three apps in a browser.
// Serves one page on 127.0.0.1 that relays what a person does to the
// messaging app, the home screen and the Settings app, each running as its
// own process, and shows what they print as it happens; and rehearses a chat
// export the page sends with `mornaq replay`.
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include <fmt/format.h>

#include "tools/commands.h"
#include "tools/phone/app_process.h"
#include "tools/phone/export_rehearsal.h"
#include "tools/phone/http_server.h"
#include "tools/phone/phone_root.h"
#include "tools/phone/phone_site.h"

namespace {

namespace fs = std::filesystem;
using tools::phone::App;

// How long the server may take to start serving once bound: seconds on a machine under load.
constexpr std::chrono::seconds kServingWait{10};

struct Options {
  std::string root;
  int port = 8640;
};

// Each app as `mornaq APP --root ROOT --json ...`, run by this same program.
std::map<App, std::unique_ptr<tools::phone::AppProcess>> makeApps(const std::string& self,
                                                                  const fs::path& root,
                                                                  tools::phone::EventLog& log) {
  const auto app = [&](App which, std::vector<std::string> extra,
                       std::vector<std::string> startLines) {
    std::vector<std::string> argv = {self, tools::phone::appName(which), "--root", root.string(),
                                     "--json"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return std::make_unique<tools::phone::AppProcess>(tools::phone::appName(which), argv,
                                                      startLines, log);
  };
  std::map<App, std::unique_ptr<tools::phone::AppProcess>> apps;
  // --why: the page shows why each message got its reply or none.
  apps[App::WhatsApp] = app(App::WhatsApp, {"--why"}, {});
  // The home screen lists its gesture listeners for the page's buttons, then
  // comes into view, which shows the notice that is due.
  apps[App::SpringBoard] =
      app(App::SpringBoard, {}, {R"({"at":0,"listeners":true})", R"({"at":0,"homeScreen":true})"});
  apps[App::Settings] = app(App::Settings, {"--live"}, {});
  return apps;
}

int runPhone(const Options& options) {
  fs::path root = options.root;
  bool fresh = false;
  if (root.empty()) {
    auto userRoot = tools::phone::userRoot();
    if (!userRoot) {
      fmt::print(stderr, "mornaq phone: {}\n", userRoot.reason());
      return 1;
    }
    root = *userRoot;
    fresh = !fs::exists(root);
  }
  root = fs::absolute(root);
  if (auto ready = tools::phone::prepareRoot(root, fresh); !ready) {
    fmt::print(stderr, "mornaq phone: {}\n", ready.reason());
    return 1;
  }

  // SIGINT and SIGTERM are blocked in every thread and taken below, so that
  // the apps are ended in order; a page gone mid-write is no signal at all.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  tools::phone::EventLog log;
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  auto apps = makeApps(self, root, log);
  tools::phone::ExportRehearsals rehearsals(self, root);
  tools::phone::HttpServer server(
      log,
      [&](const tools::phone::Effect& effect) {
        if (auto* feed = std::get_if<tools::phone::effect::Feed>(&effect)) {
          apps.at(feed->app)->feed(feed->line);
        } else if (auto* restart = std::get_if<tools::phone::effect::Restart>(&effect)) {
          apps.at(restart->app)->restart();
        }
      },
      [&](const tools::phone::effect::Rehearse& rehearsal) {
        return rehearsals.rehearse(rehearsal);
      });
  auto port = server.bind(options.port);
  if (!port) {
    fmt::print(stderr, "mornaq phone: {}\n", port.reason());
    return 1;
  }
  std::thread serving(
      [&, site = tools::phone::loadSite(root, *port)]() mutable { server.serve(std::move(site)); });
  if (auto served = server.waitUntilServing(kServingWait); !served) {
    fmt::print(stderr, "mornaq phone: {}\n", served.reason());
    server.stop();
    serving.join();
    return 1;
  }
  for (auto& [which, app] : apps) app->start();
  fmt::print("Mornaq phone at http://127.0.0.1:{}/\n", *port);
  std::fflush(stdout);

  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.stop();
  serving.join();
  for (auto& [which, app] : apps) app->stop();
  return 0;
}

tools::Run addPhone(CLI::App& mornaq) {
  auto* command = mornaq.add_subcommand(
      "phone", "Serve the phone's apps to a browser on 127.0.0.1, with Mornaq answering live");
  auto options = std::make_shared<Options>();
  command
      ->add_option("--root", options->root,
                   "The device root folder; default: a phone of your own under your data folder")
      ->check(CLI::ExistingDirectory);
  command->add_option("--port", options->port, "The port to serve on; 0: a free one")
      ->capture_default_str()
      ->check(CLI::Range(0, 65535));
  return [options] { return runPhone(*options); };
}

const bool registered = tools::registerSubcommand(addPhone);

}  // namespace
