#include "tools/phone/export_rehearsal.h"

#include <fcntl.h>
#include <sys/wait.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/foundation/file_io.h"
#include "tools/phone/child_spawn.h"
#include "tools/private_root.h"

namespace tools::phone {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

Response failed(const std::string& why) {
  return {.status = 500,
          .contentType = "text/plain; charset=utf-8",
          .body = "cannot rehearse: " + why + "\n",
          .effect = effect::None{}};
}

// Runs argv with its output and errors into files; gives its exit status.
platform::Result<int> runToFiles(const std::vector<std::string>& argv, const fs::path& out,
                                 const fs::path& err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const auto pid = spawnChild(argv, actions);
  posix_spawn_file_actions_destroy(&actions);
  PLATFORM_TRY(pid);
  int status = 0;
  while (::waitpid(*pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status)) return platform::Failure{"mornaq replay ended by a signal"};
  return WEXITSTATUS(status);
}

// text with the export's path in this server's folder told as "the export".
std::string withoutPath(std::string text, const std::string& path) {
  for (auto at = text.find(path); at != std::string::npos; at = text.find(path, at)) {
    text.replace(at, path.size(), "the export");
  }
  return text;
}

// The command's lines, their members in the order it wrote them.
json transcriptOf(const std::string& lines) {
  json transcript = json::array();
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) {
    transcript.push_back(json(nlohmann::ordered_json::parse(line, nullptr, false)));
  }
  return transcript;
}

}  // namespace

Response ExportRehearsals::rehearse(const effect::Rehearse& rehearsal) {
  const std::lock_guard one(one_);
  const auto folder = PrivateRoot::make("mornaq-phone-rehearsal");
  if (!folder) return failed(folder.reason());
  const fs::path exportFile = folder->path() / "export";
  if (const auto written = platform::replaceFileAtomically(exportFile, rehearsal.exportBytes);
      !written) {
    return failed(written.reason());
  }
  std::vector<std::string> argv = {self_.string(), "replay", "--root", root_.string(), "--json"};
  if (rehearsal.me) argv.insert(argv.end(), {"--me", *rehearsal.me});
  argv.push_back(exportFile.string());
  const auto status = runToFiles(argv, folder->path() / "out", folder->path() / "err");
  if (!status) return failed(status.reason());
  const auto out = platform::readWholeFile(folder->path() / "out");
  const auto err = platform::readWholeFile(folder->path() / "err");
  const json answer = {{"status", *status},
                       {"transcript", transcriptOf(out ? *out : "")},
                       {"errors", withoutPath(err ? *err : "", exportFile.string())}};
  return {.status = 200,
          .contentType = "application/json",
          .body = answer.dump(-1, ' ', false, json::error_handler_t::replace),
          .effect = effect::None{}};
}

}  // namespace tools::phone
