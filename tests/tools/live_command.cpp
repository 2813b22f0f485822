#include "tests/tools/live_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace tools_test {

LiveCommand::LiveCommand(const std::vector<std::string>& arguments,
                         const std::filesystem::path& errFile) {
  // A program that ended early must fail the test, not kill it on the next write.
  ::signal(SIGPIPE, SIG_IGN);
  int in[2];
  int out[2];
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
  if (::posix_spawn(&pid_, MORNAQ_COMMAND, &actions, nullptr, pointers.data(), environ) != 0) {
    ADD_FAILURE() << "cannot start " MORNAQ_COMMAND;
    pid_ = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  input_ = in[1];
  output_ = ::fdopen(out[0], "r");
}

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

void LiveCommand::signal(int number) {
  if (pid_ > 0) ::kill(pid_, number);
}

bool LiveCommand::readLine() {
  if (!output_) return false;
  char* buffer = nullptr;
  std::size_t capacity = 0;
  const ssize_t length = ::getline(&buffer, &capacity, output_);
  if (length > 0) lines_.emplace_back(buffer, buffer[length - 1] == '\n' ? length - 1 : length);
  std::free(buffer);
  return length > 0;
}

bool LiveCommand::waitForLine(std::string_view text) {
  for (std::size_t next = 0; next < lines_.size() || readLine(); ++next) {
    if (lines_[next].find(text) != std::string::npos) return true;
  }
  return false;
}

int LiveCommand::finish() {
  closeInput();
  while (readLine()) {
  }
  if (output_) std::fclose(output_);
  output_ = nullptr;
  if (pid_ > 0) {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
  }
  return status_;
}

Finished runMornaq(const std::vector<std::string>& arguments, std::string_view input,
                   const std::filesystem::path& scratchFolder) {
  LiveCommand command(arguments, scratchFolder / "err");
  command.send(input);
  Finished finished{command.finish(), "", ""};
  for (const auto& line : command.lines()) finished.out += line + '\n';
  finished.err = readFile(scratchFolder / "err");
  return finished;
}

Finished runShell(const std::string& commandLine, std::string_view input,
                  const std::filesystem::path& scratchFolder) {
  const auto in = scratchFolder / "in";
  const auto out = scratchFolder / "out";
  const auto err = scratchFolder / "err";
  testing_support::writeFile(in, input);
  const std::string command =
      commandLine + " <'" + in.string() + "' >'" + out.string() + "' 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
}

}  // namespace tools_test
