// The messaging app's --json --why output read back as each received
// message's outcome, whatever pieces the output arrives in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "tools/replay/app_outcomes.h"

namespace {

using tools::replay::AnsweredBy;
using tools::replay::AppOutcomes;
using tools::replay::Outcome;

// What the app prints for three messages: the first answered by a rule, the
// second's global reply held back by reply once (each of two senders reports
// it), the third without text; log lines and other events between them.
const std::string kOutput =
    R"({"t":0.0,"switch":{"on":true}}
{"t":0.0,"received":{"chat":{"displayName":"Ann"},"id":1,"text":"Lunch?"}}
{"t":0.0,"log":"[Mornaq] getPlistValue value:-1, \"received\":{\"id\":9}"}
{"t":1.0,"received":{"chat":{"displayName":"Ann"},"id":2,"text":"Hi"}}
{"t":2.0,"received":{"chat":{"displayName":"Ann"},"id":3,"text":null}}
{"t":2.0,"why":{"id":3,"path":null,"reply":false,"rule":null,"stoppedBy":"noText","verdict":"No reply: It has no text."}}
{"t":3.0,"why":{"id":1,"path":"contact","reply":true,"rule":{"owner":"ann","word":"lunch"},"stoppedBy":null,"verdict":"Replies after 4 s with: At one."}}
{"t":4.0,"why":{"id":2,"path":"global","reply":true,"rule":null,"stoppedBy":null,"verdict":"Replies after 6 s with: Away."}}
{"t":4.0,"reply":{"id":1,"sent":true,"text":"At one.","stoppedBy":null,"why":null}}
{"t":4.0,"sent":{"displayName":"Ann","text":"At one."}}
{"t":7.0,"reply":{"id":2,"sent":false,"text":null,"stoppedBy":"replyOnce","why":"No reply: Ann got a reply 3 s ago."}}
{"t":7.0,"reply":{"id":2,"sent":false,"text":null,"stoppedBy":"loopGuard","why":"No reply: the loop guard."}}
{"t":7.0,"reply":{"id":null,"sent":true,"text":"From elsewhere","stoppedBy":null,"why":null}}
)";

std::vector<Outcome> readInPieces(const std::vector<std::size_t>& cuts) {
  std::vector<std::size_t> received;
  AppOutcomes outcomes([&received](std::size_t number) { received.push_back(number); });
  std::ostream out(&outcomes);
  std::size_t from = 0;
  for (const std::size_t cut : cuts) {
    out.write(kOutput.data() + from, static_cast<std::streamsize>(cut - from));
    from = cut;
  }
  out << kOutput.substr(from) << std::flush;
  EXPECT_EQ(received, (std::vector<std::size_t>{1, 2, 3}));
  return outcomes.outcomes();
}

TEST(AppOutcomes, TellEachReceivedMessagesReplyOrTheStepThatStoppedIt) {
  const auto outcomes = readInPieces({});
  ASSERT_EQ(outcomes.size(), 3u);
  EXPECT_EQ(outcomes[0].reply, "At one.");
  EXPECT_EQ(outcomes[0].replyAt, 4.0);
  EXPECT_EQ(outcomes[0].answeredBy, AnsweredBy::Rule);
  EXPECT_EQ(outcomes[0].stoppedBy, std::nullopt);
  EXPECT_EQ(outcomes[1].reply, std::nullopt);
  EXPECT_EQ(outcomes[1].answeredBy, AnsweredBy::GlobalReply);
  EXPECT_EQ(outcomes[1].stoppedBy, "replyOnce") << "the first sender's report tells";
  EXPECT_EQ(outcomes[1].why, "No reply: Ann got a reply 3 s ago.");
  EXPECT_EQ(outcomes[2].stoppedBy, "noText");
  EXPECT_EQ(outcomes[2].answeredBy, std::nullopt);
  EXPECT_EQ(outcomes[2].why, "No reply: It has no text.");
}

TEST(AppOutcomes, AreTheSameWhateverPiecesTheOutputArrivesIn) {
  const auto whole = readInPieces({});
  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<std::size_t> cuts;
    for (std::size_t at = random() % 40; at < kOutput.size(); at += 1 + random() % 60) {
      cuts.push_back(at);
    }
    const auto pieces = readInPieces(cuts);
    ASSERT_EQ(pieces.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
      EXPECT_EQ(pieces[i].reply, whole[i].reply) << trial;
      EXPECT_EQ(pieces[i].stoppedBy, whole[i].stoppedBy) << trial;
      EXPECT_EQ(pieces[i].why, whole[i].why) << trial;
    }
  }
}

}  // namespace
