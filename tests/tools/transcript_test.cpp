// The apps' legacy output, pinned byte for byte: each golden transcript in
// tests/tools/transcripts runs its commands, in order, on one freshly
// installed device root, and every command must print exactly what the file
// shows. The events for programs are left out: they are checked where their
// facts are. Every other line, the add-on's log lines above all, is there for
// people and stays as the add-on has always written it.
//
// A transcript reads like a terminal session:
//   # TEXT, or blank   a comment; comments come before a command
//   $ COMMAND          a shell command line run in the device root, where
//                      `mornaq` is the command as built and TZ is UTC
//   < LINE             a line of the command's standard input
//   anything else      what it printed: its standard output, then each line
//                      of its standard error as "2> LINE" (the platform log's
//                      date, time and process left out), then "[exit N]"
//                      unless its status was 0
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_events.h"
#include "tests/support/temporary_folder.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;

// One command with the lines written around it, kept as they are.
struct Step {
  std::vector<std::string> comments;  // the comments before it
  std::string command;                // its "$ " line
  std::vector<std::string> input;     // its "< " lines
};

struct Transcript {
  std::vector<Step> steps;
  std::vector<std::string> closing;  // the comments after the last command
};

Transcript parse(const std::string& text) {
  Transcript transcript;
  std::vector<std::string> comments;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("$ ")) {
      transcript.steps.push_back({std::move(comments), line, {}});
      comments.clear();
    } else if (line.empty() || line.starts_with("#")) {
      comments.push_back(line);
    } else if ((line == "<" || line.starts_with("< ")) && !transcript.steps.empty()) {
      transcript.steps.back().input.push_back(line);
    }
    // Anything else is output, which the run prints afresh.
  }
  transcript.closing = std::move(comments);
  return transcript;
}

std::string inputOf(const Step& step) {
  std::string input;
  for (const auto& line : step.input)
    input += line.substr(std::min<std::size_t>(2, line.size())) + '\n';
  return input;
}

std::string shellLine(const fs::path& root, const Step& step) {
  return "(cd '" + root.string() +
         "' && export TZ=UTC && mornaq() { '" MORNAQ_COMMAND "' \"$@\"; } && " +
         step.command.substr(2) + ")";
}

// What a command printed, as a transcript shows it.
std::string printed(const tools_test::Finished& run) {
  // "2026-12-07 22:37:30.783 SpringBoard[27904] ": when and where, never the same twice.
  static const std::regex logPrefix(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \S+\[\d+\] )");
  std::string shown = testing_support::withoutProgramEvents(run.out);
  std::istringstream errors(run.err);
  for (std::string line; std::getline(errors, line);) {
    shown += "2> " + std::regex_replace(line, logPrefix, "") + '\n';
  }
  if (run.status != 0) shown += "[exit " + std::to_string(run.status) + "]\n";
  return shown;
}

// The transcript as this run prints it: its own comments, commands and input,
// with what each command printed now.
std::string replay(const Transcript& transcript, const fs::path& folder) {
  const fs::path root = folder / "root";
  fs::create_directory(root);
  const auto installed = tools_test::runMornaq({"install", "--root", root}, "", folder);
  EXPECT_EQ(installed.status, 0) << installed.err;
  std::string text;
  const auto add = [&text](const std::vector<std::string>& lines) {
    for (const auto& line : lines) text += line + '\n';
  };
  for (const auto& step : transcript.steps) {
    add(step.comments);
    add({step.command});
    add(step.input);
    text += printed(tools_test::runShell(shellLine(root, step), inputOf(step), folder));
  }
  add(transcript.closing);
  return text;
}

class AppTranscript : public testing::TestWithParam<const char*> {};

TEST_P(AppTranscript, PrintsExactlyWhatItShows) {
  const fs::path pinned = fs::path(MORNAQ_TRANSCRIPTS) / (std::string(GetParam()) + ".transcript");
  const std::string expected = tools_test::readFile(pinned);
  ASSERT_FALSE(expected.empty()) << "cannot read " << pinned;
  const testing_support::TemporaryFolder scratch{"mornaq-transcript"};

  const std::string actual = replay(parse(expected), scratch.path());

  if (actual == expected) return;
  const fs::path printedNow = fs::path(MORNAQ_TRANSCRIPTS_ACTUAL) / pinned.filename();
  testing_support::writeFile(printedNow, actual);
  const auto diff = tools_test::runShell(
      "diff -u '" + pinned.string() + "' '" + printedNow.string() + "'", "", scratch.path());
  ADD_FAILURE() << "The " << GetParam()
                << " transcript changed (-: as pinned, +: as printed now):\n"
                << diff.out << "The whole run is in " << printedNow << "; copy it over " << pinned
                << " if the change is meant.";
}

INSTANTIATE_TEST_SUITE_P(Apps, AppTranscript,
                         testing::Values("whatsapp", "springboard", "settings"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
