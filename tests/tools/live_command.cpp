#include "tests/tools/live_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

extern char** environ;

namespace tools_test {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ostringstream content;
  content << std::ifstream(path, std::ios::binary).rdbuf();
  return content.str();
}

}  // namespace

LiveCommand::LiveCommand(const std::vector<std::string>& arguments,
                         const std::filesystem::path& errFile) {
  int in[2];
  int out[2];
  // A program that ended early must fail the test, not kill it on the next write.
  ::signal(SIGPIPE, SIG_IGN);
  if (::pipe(in) != 0 || ::pipe(out) != 0) {
    ADD_FAILURE() << "cannot make pipes";
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);

  std::vector<std::string> argv{MORNAQ_COMMAND};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (auto& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  const int spawned =
      ::posix_spawn(&pid_, MORNAQ_COMMAND, &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  input_ = in[1];
  output_ = ::fdopen(out[0], "r");
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " MORNAQ_COMMAND;
    pid_ = -1;
  }
}

LiveCommand::~LiveCommand() { finish(); }

void LiveCommand::send(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(input_, text.data(), text.size());
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

void LiveCommand::closeInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

bool LiveCommand::readLine() {
  if (!output_) return false;
  std::string line;
  for (int c = std::fgetc(output_); c != EOF; c = std::fgetc(output_)) {
    if (c == '\n') {
      lines_.push_back(std::move(line));
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
  if (!line.empty()) lines_.push_back(std::move(line));
  return false;
}

bool LiveCommand::waitForLine(std::string_view text) {
  for (std::size_t next = 0;; ++next) {
    if (next == lines_.size() && !readLine() && next == lines_.size()) return false;
    if (lines_[next].find(text) != std::string::npos) return true;
  }
}

int LiveCommand::finish() {
  closeInput();
  if (output_) {
    while (readLine()) {
    }
    std::fclose(output_);
    output_ = nullptr;
  }
  if (pid_ < 0) return status_;
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return status_;
}

Finished runMornaq(const std::vector<std::string>& arguments, std::string_view input,
                   const std::filesystem::path& scratchFolder) {
  const auto errFile = scratchFolder / "err";
  LiveCommand command(arguments, errFile);
  command.send(input);
  const int status = command.finish();
  std::string out;
  for (const auto& line : command.lines()) out += line + '\n';
  return {status, out, readFile(errFile)};
}

}  // namespace tools_test
