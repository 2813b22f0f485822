// mornaq demo: installs the add-on into a fresh device root, gives it sample
// settings and runs a sample conversation through the messaging app in
// virtual time, printed as a story with times.
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "hosts/whatsapp/whatsapp_run.h"
#include "platform/foundation/wall_clock.h"
#include "platform/process/process.h"
#include "tools/commands.h"
#include "tools/explain.h"
#include "tools/package.h"
#include "tools/private_root.h"
#include "tools/sample_settings.h"

namespace {

namespace fs = std::filesystem;

// Explained again after the conversation.
const std::string kBobsMessage =
    R"({"text":"Call me!","chat":{"contactIdentifier":"bob-0002:ABPerson","displayName":"Bob"}})";

const std::string kConversation = R"(
{"at":0,"note":"Ann asks about lunch: her rule \"lunch\" answers, 1 s after the 3 s of screening"}
{"at":0,"receive":{"text":"Are we still on for lunch?","chat":{"contactIdentifier":"ann-0001:ABPerson","displayName":"Ann"}}}
{"at":10,"note":"Ann writes again; no rule matches, so her own reply leaves after 3 + 4 s"}
{"at":10,"receive":{"text":"How was the trip?","chat":{"contactIdentifier":"ann-0001:ABPerson","displayName":"Ann"}}}
{"at":20,"note":"Carol has no settings of her own: the global reply, after 3 + 2 s"}
{"at":20,"receive":{"text":"Are you coming tonight?","chat":{"contactIdentifier":"carol-0003:ABPerson","displayName":"Carol"}}}
{"at":30,"note":"Bob is blacklisted: no reply"}
{"at":30,"receive":)" + kBobsMessage +
                                  R"(}
{"at":40,"note":"Dave's chat is muted: no reply"}
{"at":40,"receive":{"text":"Any news?","chat":{"contactIdentifier":"dave-0004:ABPerson","displayName":"Dave","muted":true}}}
{"at":50,"note":"A group chat, a status story and a photo without text are never answered"}
{"at":50,"receive":{"text":"Who's in on Saturday?","chat":{"displayName":"Climbing club","group":true}}}
{"at":51,"receive":{"text":"Look at this view","chat":{"contactIdentifier":"carol-0003:ABPerson","displayName":"Carol","sessionType":3}}}
{"at":52,"receive":{"chat":{"contactIdentifier":"ann-0001:ABPerson","displayName":"Ann"}}}
{"at":60,"note":"A chat screen opens: version 2.20.110.30 is one Mornaq supports"}
{"at":60,"openChat":{"contactIdentifier":"ann-0001:ABPerson","displayName":"Ann"}}
{"at":61,"note":"Ann writes \"this\": her rule \"hi\" takes whole words only, so her own reply leaves"}
{"at":61,"receive":{"text":"Did you see this?","chat":{"contactIdentifier":"ann-0001:ABPerson","displayName":"Ann"}}}
{"at":63,"note":"Ann says hi from a chat named Ann Lee: the rule \"hi\" greets her by :firstname:"}
{"at":63,"receive":{"text":"Hi! Are you free?","chat":{"contactIdentifier":"ann-0001:ABPerson","displayName":"Ann Lee"}}}
{"at":70,"note":"The app terminates: Mornaq removes its reply observers"}
{"at":70,"terminate":true}
)";

// Half an hour later the app starts again, with two reply policies on.
const std::string kLaterConversation = R"(
{"at":0,"note":"Half an hour later, with Reply once and Hold back when I answer switched on"}
{"at":0,"settings":{"isReplyOnce":true,"isCancelOnUserReply":true}}
{"at":1,"note":"Carol writes again: she got a reply half an hour ago, so Reply once holds this one back"}
{"at":1,"receive":{"text":"Still there?","chat":{"contactIdentifier":"carol-0003:ABPerson","displayName":"Carol"}}}
{"at":10,"note":"Erin writes, and you answer her yourself 2 s later: her automatic reply is held back"}
{"at":10,"receive":{"text":"Where are you?","chat":{"contactIdentifier":"erin-0005:ABPerson","displayName":"Erin"}}}
{"at":12,"send":{"text":"Two minutes away!","chat":{"contactIdentifier":"erin-0005:ABPerson","displayName":"Erin"}}}
)";

// The two runs' local dates, so that the history's times read the same every time.
constexpr const char* kFirstStart = "2026-12-07T09:00:00";
constexpr const char* kLaterStart = "2026-12-07T09:30:00";

// Why a message got no reply, as `mornaq explain` tells it.
void explainBobsMessage(const fs::path& root) {
  const auto message = hosts::whatsapp::readReceived(nlohmann::json::parse(kBobsMessage)).value();
  tools::Explainer explainer(root, hosts::whatsapp::kDefaultVersion);
  std::cout << "\nWhy did Bob get no reply? mornaq explain --root DIR '" << kBobsMessage
            << "' says:\n"
            << tools::readableAnswer(explainer.explain(message));
}

int runDemo() {
  const auto privateRoot = tools::PrivateRoot::make("mornaq-demo");
  if (!privateRoot) {
    std::cerr << "mornaq demo: cannot make a temporary device root: " << privateRoot.reason()
              << '\n';
    return 1;
  }
  const fs::path& root = privateRoot->path();
  int status = 1;
  if (const auto installed = tools::installPackage(root); !installed) {
    std::cerr << "mornaq demo: " << installed.reason() << '\n';
  } else if (auto written = tools::writeSampleSettings(root); !written) {
    std::cerr << "mornaq demo: " << written.reason() << '\n';
  } else {
    std::cout << "Mornaq demo: the add-on installed into a fresh device root, the master switch\n"
                 "on, a global reply, Ann with her own reply and three word-match rules, Bob\n"
                 "blacklisted, Dave's chat muted. Times are seconds on a virtual clock.\n\n";
    std::istringstream conversation(kConversation);
    status = hosts::whatsapp::run(
        {.root = root, .virtualTime = true, .start = platform::parseLocalDateTime(kFirstStart)},
        conversation, std::cout, std::cerr);
    if (status == 0) {
      std::cout << '\n';
      std::istringstream later(kLaterConversation);
      status = hosts::whatsapp::run(
          {.root = root, .virtualTime = true, .start = platform::parseLocalDateTime(kLaterStart)},
          later, std::cout, std::cerr);
    }
    if (status == 0) explainBobsMessage(root);
  }
  return status;
}

tools::Run addDemo(CLI::App& mornaq) {
  mornaq.add_subcommand("demo", "Show Mornaq answering a sample conversation");
  return runDemo;
}

const bool registered = tools::registerSubcommand(addDemo);

}  // namespace
