#pragma once
// The `mornaq` command as a running program: the test writes its standard
// input when it chooses and reads its standard output line by line as it
// comes; standard error goes to a file.
#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_files.h"

namespace tools_test {

class LiveCommand {
 public:
  LiveCommand(const std::vector<std::string>& arguments, const std::filesystem::path& errFile);
  ~LiveCommand() { finish(); }
  LiveCommand(const LiveCommand&) = delete;
  LiveCommand& operator=(const LiveCommand&) = delete;

  void send(std::string_view text);
  void closeInput();
  // Sends the program a signal (SIGTERM, say).
  void signal(int number);
  // Reads output until a line holding text has come (lines read before
  // count too); false when the output ended first.
  bool waitForLine(std::string_view text);
  // Closes the input, reads the output to its end and gives the exit status.
  int finish();

  const std::vector<std::string>& lines() const { return lines_; }

 private:
  bool readLine();

  pid_t pid_ = -1;
  int input_ = -1;
  std::FILE* output_ = nullptr;
  std::vector<std::string> lines_;
  int status_ = -1;
};

struct Finished {
  int status;
  std::string out;
  std::string err;
};

// Runs `mornaq` to its end on this input; standard error passes through a
// file in scratchFolder.
Finished runMornaq(const std::vector<std::string>& arguments, std::string_view input,
                   const std::filesystem::path& scratchFolder);

using testing_support::readFile;

// Runs a shell command line to its end with input on its standard input;
// standard output and error pass through files in scratchFolder.
Finished runShell(const std::string& commandLine, std::string_view input,
                  const std::filesystem::path& scratchFolder);

}  // namespace tools_test
