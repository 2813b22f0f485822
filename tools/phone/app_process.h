#pragma once
// One simulated app run as a child process of `mornaq phone`: fed JSON lines
// on its standard input, its standard output and standard error read line by
// line into the event log, its exit (or crash) recorded there too. It can be
// restarted; the server keeps running whatever the app does.
//
// Events: {"app":A,"state":"running","started":MS} (MS: milliseconds since
// the epoch, the start of the app's clock), {"app":A,"out":LINE} (LINE the
// parsed JSON line, or the text when it is not JSON), {"app":A,"err":TEXT},
// {"app":A,"in":LINE} for each line fed, {"app":A,"state":"exited","status":N} or
// {"app":A,"state":"crashed","signal":N}.
#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/result.h"
#include "tools/phone/descriptor.h"
#include "tools/phone/event_log.h"

namespace tools::phone {

class AppProcess {
 public:
  // argv[0] is the program to run; startLines are fed at every start.
  AppProcess(std::string name, std::vector<std::string> argv, std::vector<std::string> startLines,
             EventLog& log);
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  // Starts the app, or says why it could not in an "err" event; no descriptor of a start that
  // failed stays open.
  void start();
  // Writes one line to the app; a line for an app that is not running is
  // dropped with an "err" event.
  void feed(const std::string& line);
  void restart();
  // Ends the input so that the app finishes what is under way; an app still
  // running after a grace period is sent SIGTERM.
  void stop();

 private:
  void startLocked();
  platform::Result<> spawnLocked();
  void stopLocked();
  // Each stream has its reader, on a thread of its own. The output's reader collects the app's
  // exit once the output ends.
  void readOutput(Descriptor output);
  void readErrors(Descriptor errors);

  std::string name_;
  std::vector<std::string> argv_;
  std::vector<std::string> startLines_;
  EventLog& log_;

  std::mutex mutex_;  // held by start, stop and feed
  std::mutex exitMutex_;
  std::condition_variable exited_;
  bool running_ = false;
  pid_t pid_ = -1;
  Descriptor input_;
  std::thread output_;
  std::thread errors_;
};

}  // namespace tools::phone
