// Chat exports as the messaging app writes them, on both platforms and in
// several languages (exports/), each read to its messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/result_matchers.h"
#include "tests/tools/replay/read_back.h"

namespace replay_test {
namespace {

using testing::ElementsAreArray;
using tools::replay::DateOrder;

Message m(const char* time, const char* author, const char* text) {
  return {time, author, text ? std::optional<std::string>(text) : std::nullopt};
}

struct Sample {
  const char* file;
  DateOrder order;
  std::optional<std::string> chatName;  // from the phone's own lines
  std::vector<Message> messages;
  bool assumed = false;  // every date reads both day and month first
};

// Each author once, in the order they first wrote.
std::vector<std::string> authorsOf(const std::vector<Message>& messages) {
  std::vector<std::string> authors;
  for (const auto& message : messages) {
    if (std::find(authors.begin(), authors.end(), message.author) == authors.end()) {
      authors.push_back(message.author);
    }
  }
  return authors;
}

TEST(ExportSamplesTest, ReadsEachExportToItsMessages) {
  const Sample samples[] = {
      {"android_en_gb.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2020-12-31T21:41:00", "Ann Lee", "Happy new year! 🎉"),
        m("2020-12-31T21:42:00", "Tom", "Thanks: you too 😊"),
        m("2020-12-31T21:43:00", "Ann Lee", nullptr),
        m("2020-12-31T21:44:00", "Ann Lee", "Shopping list:\n- milk\n- bread"),
        m("2021-01-01T09:00:00", "Tom", "Fireworks from the roof"),
        m("2021-01-01T09:05:00", "Ann Lee", nullptr),
        m("2021-01-01T09:06:00", "Tom", "See you at 10:30"),
        m("2021-01-01T09:08:00", "Tom", nullptr)}},
      {"android_en_us.txt",
       DateOrder::MonthFirst,
       std::nullopt,
       {m("2020-12-31T21:41:00", "Ann Lee", "Are we still on for tonight?"),
        m("2020-12-31T21:43:00", "Tom", "Yes! 8:30 at the usual place"),
        m("2020-12-31T23:59:00", "Ann Lee", nullptr),
        m("2021-01-01T00:00:00", "Ann Lee", "Happy 2021 🥳🎆"),
        m("2021-01-01T00:05:00", "Tom", nullptr), m("2021-01-01T12:30:00", "Ann Lee", "Lunch?")}},
      {"ios_en_gb.txt",
       DateOrder::DayFirst,
       "Ann Lee",
       {m("2020-12-31T21:41:05", "Ann Lee", "Happy new year! 🎉"),
        m("2020-12-31T21:42:10", "Ann Lee", nullptr),
        m("2020-12-31T21:42:30", "Tom", "Same to you: all the best\nand many more"),
        m("2020-12-31T21:43:00", "Tom", nullptr), m("2020-12-31T21:44:00", "Ann Lee", nullptr),
        m("2020-12-31T21:45:00", "Ann Lee", "On my way"),
        m("2021-01-01T00:11:00", "Tom", nullptr)}},
      {"ios_en_us.txt",
       DateOrder::MonthFirst,
       "Ann Lee",
       {m("2020-12-31T21:41:05", "Ann Lee", "Happy new year!"),
        m("2020-12-31T21:42:00", "Tom", "You too 🎉"),
        m("2021-01-01T00:01:30", "Ann Lee", nullptr)}},
      {"android_es.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2020-12-31T21:41:00", "Ana García", "¡Feliz año nuevo! 🎉"),
        m("2020-12-31T21:42:00", "Tomás", "Gracias: igualmente"),
        m("2020-12-31T21:43:00", "Ana García", nullptr),
        m("2021-01-01T00:15:00", "Tomás", "Los fuegos artificiales"),
        m("2021-01-01T10:00:00", "Ana García", nullptr),
        m("2021-01-01T10:01:00", "Tomás", "¿Comemos juntos?")}},
      {"ios_es.txt",
       DateOrder::DayFirst,
       "Ana García",
       {m("2020-12-31T21:41:05", "Ana García", "¡Feliz año nuevo!"),
        m("2020-12-31T21:42:00", "Ana García", nullptr),
        m("2020-12-31T21:43:00", "Tomás", "Para ti")}},
      {"android_pt_br.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2020-12-31T21:41:00", "Ana Souza", "Feliz ano novo! 🎉"),
        m("2020-12-31T21:42:00", "João", nullptr), m("2020-12-31T21:43:00", "Ana Souza", nullptr),
        m("2021-01-01T10:00:00", "João", nullptr),
        m("2021-01-01T10:01:00", "Ana Souza", "Almoço às 13:00?")}},
      {"ios_it.txt",
       DateOrder::DayFirst,
       "Anna Rossi",
       {m("2020-12-31T21:41:05", "Anna Rossi", "Buon anno! 🎉"),
        m("2020-12-31T21:42:00", "Anna Rossi", nullptr),
        m("2020-12-31T21:43:00", "Marco", "Grazie: anche a te"),
        m("2020-12-31T21:44:00", "Marco", nullptr)}},
      {"android_it.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2020-12-31T21:41:00", "Anna Rossi", "Buon anno!"),
        m("2020-12-31T21:42:00", "Marco", "Guarda che bello"),
        m("2020-12-31T21:43:00", "Anna Rossi", nullptr), m("2020-12-31T21:44:00", "Marco", nullptr),
        m("2020-12-31T21:45:00", "Anna Rossi", nullptr)}},
      {"android_de.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2020-12-31T21:41:00", "Jürgen Groß", "Frohes neues Jahr! 🎆"),
        m("2020-12-31T21:42:00", "Lena", nullptr), m("2020-12-31T21:43:00", "Jürgen Groß", nullptr),
        m("2021-01-01T10:00:00", "Lena", nullptr),
        m("2021-01-01T10:01:00", "Jürgen Groß", "Treffen um 12:00?")}},
      {"ios_de.txt",
       DateOrder::DayFirst,
       "Jürgen Groß",
       {m("2020-12-31T21:41:05", "Jürgen Groß", "Frohes neues Jahr!"),
        m("2020-12-31T21:42:00", "Jürgen Groß", nullptr),
        m("2020-12-31T21:43:00", "Lena", "Feuerwerk!")}},
      {"android_fr.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2020-12-31T21:41:00", "Anne Dupont", "Bonne année ! 🥂"),
        m("2020-12-31T21:42:00", "Luc", "Merci : à toi aussi"),
        m("2020-12-31T21:43:00", "Anne Dupont", nullptr), m("2020-12-31T21:44:00", "Luc", nullptr),
        m("2021-01-01T10:00:00", "Anne Dupont", nullptr)}},
      {"ios_fr.txt",
       DateOrder::DayFirst,
       "Anne Dupont",
       {m("2020-12-31T21:41:05", "Anne Dupont", "Bonne année !"),
        m("2020-12-31T21:42:00", "Anne Dupont", nullptr),
        m("2020-12-31T21:43:00", "Luc", nullptr)}},
      {"ios_sv.txt",
       DateOrder::YearFirst,
       "Anna Berg",
       {m("2020-12-31T21:41:05", "Anna Berg", "Gott nytt år!"),
        m("2021-01-01T09:00:00", "Erik", "Detsamma")}},
      {"old_2016.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2016-08-30T17:03:58", "Ann Lee", "Are you coming?"),
        m("2016-08-30T17:04:10", "Tom", "Yes: in ten minutes")}},
      {"old_2012.txt",
       DateOrder::DayFirst,
       std::nullopt,
       {m("2012-12-09T17:02:35", "Ann Lee", "Hello"),
        m("2012-12-09T17:02:50", "Tom", "Hi\nit has been a while")},
       true},
      {"android_en_group.txt",
       DateOrder::MonthFirst,
       std::nullopt,
       {m("2020-12-31T20:01:00", "Ann Lee", "Welcome everyone!"),
        m("2020-12-31T20:02:00", "Mum ❤️", "Hello darlings 😘"),
        m("2020-12-31T20:03:00", "Tom", "Hi all"),
        m("2020-12-31T20:04:00", "+44 7700 900123", "Who is this?")}},
  };
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.file);
    const auto read = readBack(std::string(REPLAY_EXPORTS) + "/" + sample.file);
    ASSERT_THAT(read, testing_support::Succeeds());
    EXPECT_EQ(read->overview.dateOrder.order, sample.order);
    EXPECT_EQ(read->overview.dateOrder.assumed, sample.assumed);
    EXPECT_EQ(read->overview.chatName, sample.chatName);
    EXPECT_EQ(read->overview.authors, authorsOf(sample.messages));
    EXPECT_EQ(read->overview.messages, sample.messages.size());
    EXPECT_THAT(read->messages, ElementsAreArray(sample.messages));
  }
}

}  // namespace
}  // namespace replay_test
