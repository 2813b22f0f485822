// Generated chats written in each shape the messaging app writes read back
// as the same messages, whatever the line ends, marks and byte-order mark.
#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/foundation/civil_time.h"
#include "tests/support/result_matchers.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/test_files.h"
#include "tests/tools/replay/read_back.h"

namespace replay_test {
namespace {

using tools::replay::DateOrder;

using Moment = platform::CivilTime;

struct Shape {
  DateOrder order;
  bool seconds;
  // The start of a message's first line, up to its author: d, m, y (two
  // digits), Y, H (24-hour), h (12-hour), M, S, half ("PM"), halfEs ("p. m."),
  // halfDots ("p.m."), halfNoBreak ("p.\u00A0m."), halfLow ("pm").
  const char* start;
};

const Shape kShapes[] = {
    {DateOrder::DayFirst, false, "{d:02}/{m:02}/{Y}, {H:02}:{M:02} - "},
    {DateOrder::MonthFirst, false, "{m}/{d}/{y:02}, {h}:{M:02}\u202F{half} - "},
    {DateOrder::DayFirst, false, "{d}/{m}/{y:02}, {h}:{M:02} {halfEs} - "},
    {DateOrder::MonthFirst, false, "{m}/{d}/{Y}, {h}:{M:02}\u00A0{halfDots} - "},
    {DateOrder::DayFirst, false, "{d}/{m}/{y:02}, {h}:{M:02}\u202F{halfNoBreak} - "},
    {DateOrder::MonthFirst, true, "[{m}/{d}/{y:02}, {h}:{M:02}:{S:02} {halfLow}] "},
    {DateOrder::DayFirst, false, "{d:02}.{m:02}.{y:02}, {H:02}:{M:02} - "},
    {DateOrder::DayFirst, false, "{d:02}/{m:02}/{Y} \u00E0 {H:02}:{M:02} - "},
    {DateOrder::DayFirst, false, "{d:02}/{m:02}/{Y} {H:02}:{M:02} - "},
    {DateOrder::DayFirst, true, "\u200E[{d:02}/{m:02}/{y:02}, {H:02}:{M:02}:{S:02}] "},
    {DateOrder::MonthFirst, true, "[{m}/{d}/{y:02}, {h}:{M:02}:{S:02}\u202F{half}] "},
    {DateOrder::YearFirst, true, "[{Y}-{m:02}-{d:02} {H:02}:{M:02}:{S:02}] "},
    {DateOrder::YearFirst, true, "\u200E\u200E[{Y}. {m:02}. {d:02}. {H}:{M:02}:{S:02}] "},
    {DateOrder::DayFirst, true, "{d:02}/{m:02}/{y:02}, {H:02}:{M:02}:{S:02}: "},
    {DateOrder::DayFirst, true, "{d:02}/{m:02}/{Y} {H:02}:{M:02}:{S:02}: "},
};

std::string lineStart(const Shape& shape, const Moment& t) {
  const bool am = t.hour < 12;
  return fmt::format(fmt::runtime(shape.start), fmt::arg("d", t.day), fmt::arg("m", t.month),
                     fmt::arg("y", t.year % 100), fmt::arg("Y", t.year), fmt::arg("H", t.hour),
                     fmt::arg("h", t.hour % 12 == 0 ? 12 : t.hour % 12), fmt::arg("M", t.minute),
                     fmt::arg("S", t.second), fmt::arg("half", am ? "AM" : "PM"),
                     fmt::arg("halfEs", am ? "a. m." : "p. m."),
                     fmt::arg("halfDots", am ? "a.m." : "p.m."),
                     fmt::arg("halfNoBreak", am ? "a.\u00A0m." : "p.\u00A0m."),
                     fmt::arg("halfLow", am ? "am" : "pm"));
}

const char* const kAuthors[] = {"Ann Lee", "Tom", "Mum ❤️", "+44 7700 900123", "Zoë 🌻"};
const char* const kWords[] = {"Hello",  "a: b",     "😊",    "10:30", "café", "-",
                              "[note]", "12/31/20", "it's", "¿qué?", "<b>",  "PM"};

// A text of one to three lines, each of a few words; a line between others
// may be empty (the app trims the ends of what is sent).
std::string generatedText(std::mt19937& random) {
  std::string text;
  const int lines = std::uniform_int_distribution(1, 3)(random);
  for (int line = 0; line < lines; ++line) {
    if (line > 0) text += '\n';
    const int words =
        std::uniform_int_distribution(line == 0 || line == lines - 1 ? 1 : 0, 4)(random);
    for (int word = 0; word < words; ++word) {
      if (word > 0) text += ' ';
      text += kWords[std::uniform_int_distribution<std::size_t>(0, std::size(kWords) - 1)(random)];
    }
  }
  return text;
}

TEST(ExportRoundTripTest, GeneratedChatsReadBackInEveryShape) {
  testing_support::TemporaryFolder folder("mornaq-replay");
  std::mt19937 random(20201231);
  for (int round = 0; round < 30; ++round) {
    std::vector<std::pair<Moment, Message>> chat;
    double since2001 = 631'065'570;  // 2020-12-30T23:59:30
    const int messages = std::uniform_int_distribution(1, 12)(random);
    for (int i = 0; i < messages; ++i) {
      since2001 += std::uniform_int_distribution(0, 2 * 86400)(random);
      const Moment t = platform::civilTime(since2001);
      const auto* author =
          kAuthors[std::uniform_int_distribution<std::size_t>(0, std::size(kAuthors) - 1)(random)];
      chat.push_back({t, {"", author, generatedText(random)}});
    }
    const bool crlf = random() % 2, bom = random() % 2, finalLineEnd = random() % 2;
    for (const auto& shape : kShapes) {
      SCOPED_TRACE(fmt::format("round {}, {}", round, shape.start));
      std::string file = bom ? "\uFEFF" : "";
      std::vector<Message> expected;
      for (std::size_t i = 0; i < chat.size(); ++i) {
        auto [moment, message] = chat[i];
        if (!shape.seconds) moment.second = 0;
        std::string line = lineStart(shape, moment) + message.author + ": " + message.text.value();
        for (std::size_t at = line.find('\n'); at != std::string::npos;
             at = line.find('\n', at + 2)) {
          if (crlf) line.replace(at, 1, "\r\n");
        }
        file += line + (i + 1 < chat.size() || finalLineEnd ? (crlf ? "\r\n" : "\n") : "");
        message.time = fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", moment.year, moment.month,
                                   moment.day, moment.hour, moment.minute, moment.second);
        expected.push_back(message);
      }
      const auto path = folder.path() / "chat.txt";
      testing_support::writeFile(path, file);
      const auto read = readBack(path, shape.order);
      ASSERT_THAT(read, testing_support::Succeeds());
      EXPECT_EQ(read->messages, expected);
    }
  }
}

}  // namespace
}  // namespace replay_test
