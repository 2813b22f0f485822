#pragma once
// What the messaging app did with each message it received, read from the
// events it prints with --json --why while it runs (docs/command.md, "Events
// for programs"): the app numbers received messages from 1, and a message's
// `why` and `reply` carry its number. The output is read line by line as it
// is written and only these events are kept, so a long rehearsal's log lines
// are never held.
#include <cstddef>
#include <functional>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace tools::replay {

// Which of the add-on's replies answered a message.
enum class AnsweredBy { Rule, ContactReply, GlobalReply };

struct Outcome {
  // The reply's text, when one left, and when: seconds on the app's clock.
  std::optional<std::string> reply;
  double replyAt = 0;
  std::optional<AnsweredBy> answeredBy;  // when a reply was chosen
  // The step that held the reply back or found none; none when it left.
  std::optional<std::string> stoppedBy;
  std::string why;  // the verdict, or the sentence of the policy that held the reply back
};

// An output stream's buffer that takes in the app's --json output.
class AppOutcomes : public std::streambuf {
 public:
  // received: told the number of each message as it arrives, for progress.
  explicit AppOutcomes(std::function<void(std::size_t number)> received = {})
      : received_(std::move(received)) {}

  // The outcome of the message the app numbered n, at n - 1.
  const std::vector<Outcome>& outcomes() const { return outcomes_; }

 protected:
  int_type overflow(int_type byte) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;

 private:
  void takeLine(std::string_view line);
  Outcome& outcomeOf(std::size_t number);

  std::function<void(std::size_t)> received_;
  std::string line_;  // the line written so far
  std::vector<Outcome> outcomes_;
};

}  // namespace tools::replay
