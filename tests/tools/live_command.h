#pragma once
// The `mornaq` command as a running program: its standard input is a pipe
// that the test writes when it chooses, its standard output is read line by
// line as it comes, its standard error goes to a file.
#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tools_test {

class LiveCommand {
 public:
  // Starts `mornaq` with these arguments; standard error goes to errFile.
  LiveCommand(const std::vector<std::string>& arguments, const std::filesystem::path& errFile);
  // Closes the input and waits for the program.
  ~LiveCommand();
  LiveCommand(const LiveCommand&) = delete;
  LiveCommand& operator=(const LiveCommand&) = delete;

  void send(std::string_view text);
  void closeInput();
  // Reads output until a line holding text has come (lines read before
  // count too); false when the output ended first.
  bool waitForLine(std::string_view text);
  // Closes the input, reads the output to its end and gives the exit status.
  int finish();

  // Every output line read so far.
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  bool readLine();

  pid_t pid_ = -1;
  int input_ = -1;
  std::FILE* output_ = nullptr;
  std::vector<std::string> lines_;
  int status_ = -1;
};

// Runs `mornaq` to its end with this input: exit status, output, error output.
struct Finished {
  int status;
  std::string out;
  std::string err;
};
Finished runMornaq(const std::vector<std::string>& arguments, std::string_view input,
                   const std::filesystem::path& scratchFolder);

}  // namespace tools_test
