#include "Mornaq/engine/reply_policies.h"

#include <gtest/gtest.h>

#include "common/reply_history.h"

namespace {

using mornaq::PolicyVerdict;
using mornaq::ReplyChat;
using mornaq::ReplyHistory;
using mornaq::UserActivity;
using platform::Date;
using platform::Dictionary;
using platform::LocalTime;

const ReplyChat kAnn{"a1", "Ann"};
constexpr double kHour = 3600;

// Holds, or lets pass, or gives no verdict (the policy is off).
enum class Expect { Holds, Passes, Off };

void expectVerdict(const std::optional<PolicyVerdict>& verdict, Expect expected,
                   const std::string& why, const std::string& row) {
  if (expected == Expect::Off) {
    EXPECT_FALSE(verdict) << row;
    return;
  }
  ASSERT_TRUE(verdict) << row;
  EXPECT_EQ(verdict->holds, expected == Expect::Holds) << row;
  if (!why.empty()) {
    EXPECT_EQ(verdict->why, why) << row;
  }
}

ReplyHistory repliesTo(const std::string& chat, std::initializer_list<double> times) {
  ReplyHistory history;
  for (double time : times) history.push_back({Date{time}, chat, "Name", "text"});
  return history;
}

TEST(SchedulePolicy, AnswersInsideItsWindowOnTheDaysItOpens) {
  struct Row {
    const char* name;
    Dictionary settings;
    LocalTime received;  // weekday 1 = Monday
    Expect expected;
    std::string why;
  };
  const Dictionary night{{"isScheduleEnabled", true},
                         {"scheduleFrom", "22:00"},
                         {"scheduleTo", "07:00"},
                         {"scheduleDays", "5"}};
  auto with = [](Dictionary settings, const char* key, platform::Value value) {
    settings.insert_or_assign(key, std::move(value));
    return settings;
  };
  const Row rows[] = {
      {"switch off",
       with(night, "isScheduleEnabled", false),
       {2026, 12, 4, 12, 0, 0, 5},
       Expect::Off,
       ""},
      {"Friday night opens",
       night,
       {2026, 12, 4, 22, 0, 0, 5},
       Expect::Passes,
       "Received at 22:00 on Friday, inside the schedule's 22:00 to 07:00"},
      {"one minute before it opens",
       night,
       {2026, 12, 4, 21, 59, 59, 5},
       Expect::Holds,
       "Received at 21:59 on Friday, outside the schedule's 22:00 to 07:00"},
      {"after midnight: Friday's window", night, {2026, 12, 5, 6, 59, 0, 6}, Expect::Passes, ""},
      {"the window's end is outside", night, {2026, 12, 5, 7, 0, 0, 6}, Expect::Holds, ""},
      {"after midnight on Friday: Thursday's window",
       night,
       {2026, 12, 4, 3, 0, 0, 5},
       Expect::Holds,
       "Received at 03:00 on Friday: the schedule's 22:00 to 07:00 that opened on Thursday is "
       "not one of its days \"5\""},
      {"Saturday night does not open", night, {2026, 12, 5, 23, 0, 0, 6}, Expect::Holds, ""},
      {"Sunday's window after midnight on Monday",
       with(night, "scheduleDays", "7"),
       {2026, 12, 7, 1, 0, 0, 1},
       Expect::Passes,
       ""},
      {"empty days: every day",
       with(night, "scheduleDays", ""),
       {2026, 12, 5, 23, 0, 0, 6},
       Expect::Passes,
       ""},
      {"daytime window",
       with(with(night, "scheduleFrom", "9:00"), "scheduleTo", "17:30"),
       {2026, 12, 4, 17, 29, 0, 5},
       Expect::Passes,
       ""},
      {"From equal to To: the whole day",
       with(with(night, "scheduleFrom", "08:00"), "scheduleTo", "08:00"),
       {2026, 12, 4, 7, 59, 0, 5},
       Expect::Passes,
       "Received at 07:59 on Friday, inside the schedule's the whole day"},
      {"unreadable time counts as off",
       with(night, "scheduleFrom", "25:00"),
       {2026, 12, 5, 12, 0, 0, 6},
       Expect::Passes,
       "The schedule's times \"25:00\" to \"07:00\" are not HH:MM, so the schedule counts as off"},
      {"missing time counts as off",
       with(night, "scheduleTo", ""),
       {2026, 12, 5, 12, 0, 0, 6},
       Expect::Passes,
       ""},
  };
  for (const auto& row : rows) {
    expectVerdict(mornaq::scheduleVerdict(row.settings, row.received), row.expected, row.why,
                  row.name);
  }
}

TEST(ScheduleEnd, TellsWhenTheScheduleStopsAnswering) {
  struct Row {
    const char* name;
    std::string from, to, days;
    LocalTime received, leaves;  // weekday 1 = Monday
    std::string until;
  };
  // Friday 4 December 2026, and the days around it.
  const LocalTime friday17{2026, 12, 4, 17, 0, 0, 5};
  const LocalTime friday23{2026, 12, 4, 23, 0, 0, 5};
  const LocalTime saturday0005{2026, 12, 5, 0, 5, 0, 6};
  const LocalTime saturday10{2026, 12, 5, 10, 0, 0, 6};
  const LocalTime sunday23{2026, 12, 6, 23, 59, 58, 7};
  const LocalTime monday0001{2026, 12, 7, 0, 0, 1, 1};
  const Row rows[] = {
      {"a daytime window ends the same day", "09:00", "18:00", "", friday17, friday17, "18:00"},
      {"a night window ends the next morning", "22:00", "07:00", "", friday23, friday23,
       "Saturday 07:00"},
      {"across midnight as the reply leaves", "22:00", "07:00", "", friday23, saturday0005,
       "07:00"},
      {"after midnight: the window that opened yesterday", "22:00", "07:00", "", saturday0005,
       saturday0005, "07:00"},
      {"a whole day ends at midnight", "00:00", "00:00", "5", friday17, friday17, "Saturday 00:00"},
      {"adjoining whole days: Saturday and Sunday end Monday 00:00", "08:00", "08:00", "67",
       saturday10, saturday10, "Monday 00:00"},
      {"the same weekend, the reply leaving Monday", "08:00", "08:00", "67", sunday23, monday0001,
       "00:00"},
      {"whole days every day never end", "00:00", "00:00", "", friday17, friday17, ""},
      {"whole days on every weekday listed never end", "00:00", "00:00", "1234567", friday17,
       friday17, ""},
      {"unreadable times count as off", "25:00", "07:00", "", friday17, friday17, ""},
  };
  for (const auto& row : rows) {
    const Dictionary settings{{"isScheduleEnabled", true},
                              {"scheduleFrom", row.from},
                              {"scheduleTo", row.to},
                              {"scheduleDays", row.days}};
    EXPECT_EQ(mornaq::scheduleEndText(settings, row.received, row.leaves), row.until) << row.name;
  }
  EXPECT_EQ(mornaq::scheduleEndText({{"scheduleFrom", "09:00"}, {"scheduleTo", "18:00"}}, friday17,
                                    friday17),
            "")
      << "the schedule switched off";
}

TEST(ReplyOncePolicy, WaitsItsHoursAfterTheLastReplyIntoTheChat) {
  struct Row {
    const char* name;
    Dictionary settings;
    ReplyHistory history;
    double now;
    Expect expected;
    std::string why;
  };
  const Dictionary once{{"isReplyOnce", true}};
  const double day = 24 * kHour;
  const Row rows[] = {
      {"off", {}, repliesTo("a1", {0}), 1, Expect::Off, ""},
      {"no reply yet", once, repliesTo("b1", {0}), 1, Expect::Passes,
       "Ann got no reply yet; Reply once waits 24 h"},
      {"a second after", once, repliesTo("a1", {0}), 1, Expect::Holds,
       "Ann got a reply 1 s ago; Reply once waits 24 h"},
      {"just before the day ends", once, repliesTo("a1", {0}), day - 1, Expect::Holds,
       "Ann got a reply 23 h 59 min ago; Reply once waits 24 h"},
      {"the day has ended", once, repliesTo("a1", {0}), day, Expect::Passes,
       "Ann got a reply 24 h ago; Reply once waits 24 h"},
      {"the newest reply counts", once, repliesTo("a1", {2 * kHour, -day}), 3 * kHour,
       Expect::Holds, "Ann got a reply 1 h ago; Reply once waits 24 h"},
      {"own hours",
       {{"isReplyOnce", true}, {"replyOnceHours", "2"}},
       repliesTo("a1", {0}),
       2 * kHour,
       Expect::Passes,
       ""},
      {"hours not a positive number",
       {{"isReplyOnce", true}, {"replyOnceHours", "-3"}},
       repliesTo("a1", {0}),
       2 * kHour,
       Expect::Holds,
       "Ann got a reply 2 h ago; Reply once waits 24 h"},
      {"hours as a number",
       {{"isReplyOnce", true}, {"replyOnceHours", 1}},
       repliesTo("a1", {0}),
       kHour,
       Expect::Passes,
       ""},
  };
  for (const auto& row : rows) {
    expectVerdict(mornaq::replyOnceVerdict(row.settings, row.history, kAnn, Date{row.now}),
                  row.expected, row.why, row.name);
  }
}

TEST(UserPolicies, HoldBackWhenTheUserAnswersOrWasActive) {
  const Dictionary cancel{{"isCancelOnUserReply", true}};
  UserActivity wroteToAnn{{{"a1", Date{100}}}, Date{100}};
  UserActivity wroteToBob{{{"b1", Date{100}}}, Date{100}};
  struct RepliedRow {
    const char* name;
    Dictionary settings;
    const UserActivity* activity;
    std::optional<double> receivedAt;
    Expect expected;
  };
  const RepliedRow replied[] = {
      {"off", {}, &wroteToAnn, 99, Expect::Off},
      {"off when the message arrived", cancel, &wroteToAnn, std::nullopt, Expect::Off},
      {"answered a second after arrival", cancel, &wroteToAnn, 99, Expect::Holds},
      {"answered as it arrived", cancel, &wroteToAnn, 100, Expect::Holds},
      {"wrote before the message", cancel, &wroteToAnn, 101, Expect::Passes},
      {"wrote into another chat", cancel, &wroteToBob, 99, Expect::Passes},
  };
  for (const auto& row : replied) {
    const auto receivedAt = row.receivedAt ? std::optional(Date{*row.receivedAt}) : std::nullopt;
    expectVerdict(mornaq::userRepliedVerdict(row.settings, *row.activity, kAnn, receivedAt),
                  row.expected, "", row.name);
  }

  const Dictionary away{{"isAwayOnly", true}};
  struct ActiveRow {
    const char* name;
    Dictionary settings;
    UserActivity activity;
    double now;
    Expect expected;
    std::string why;
  };
  const ActiveRow active[] = {
      {"off", {}, wroteToBob, 101, Expect::Off, ""},
      {"no message sent",
       away,
       {},
       101,
       Expect::Passes,
       "You have sent no message; Only when away waits 10 min"},
      {"just inside ten minutes", away, wroteToBob, 100 + 599, Expect::Holds,
       "You sent a message 9 min ago; Only when away waits 10 min"},
      {"ten minutes on", away, wroteToBob, 100 + 600, Expect::Passes,
       "You sent a message 10 min ago; Only when away waits 10 min"},
      {"own minutes",
       {{"isAwayOnly", true}, {"awayMinutes", "1"}},
       wroteToBob,
       100 + 60,
       Expect::Passes,
       ""},
  };
  for (const auto& row : active) {
    expectVerdict(mornaq::userActiveVerdict(row.settings, row.activity, Date{row.now}),
                  row.expected, row.why, row.name);
  }
}

TEST(LoopGuard, AllowsTenRepliesIntoOneChatInAnyHour) {
  ReplyHistory nine;
  for (int i = 0; i < 9; ++i) nine.push_back({Date{1000.0 - i}, "a1", "Ann", "t"});
  ReplyHistory ten = nine;
  ten.push_back({Date{1000.0 - 9}, "a1", "Ann", "t"});
  ReplyHistory tenOlder = nine;
  tenOlder.push_back({Date{1000.0 - kHour}, "a1", "Ann", "t"});
  struct Row {
    const char* name;
    Dictionary settings;
    const ReplyHistory* history;
    Expect expected;
    std::string why;
  };
  const Row rows[] = {
      {"the 10th reply leaves",
       {},
       &nine,
       Expect::Passes,
       "Ann got 9 replies in the last 60 min; the loop guard allows 10"},
      {"the 11th is dropped",
       {},
       &ten,
       Expect::Holds,
       "Ann got 10 replies in the last 60 min; the loop guard allows 10"},
      {"a reply 60 min ago no longer counts", {}, &tenOlder, Expect::Passes, ""},
      {"\"0\" turns it off", {{"loopGuardReplies", "0"}}, &ten, Expect::Off, ""},
      {"unreadable: the default", {{"loopGuardReplies", "many"}}, &ten, Expect::Holds, ""},
      {"its own limit", {{"loopGuardReplies", "11"}}, &ten, Expect::Passes, ""},
  };
  for (const auto& row : rows) {
    expectVerdict(mornaq::loopGuardVerdict(row.settings, *row.history, kAnn, Date{1000}),
                  row.expected, row.why, row.name);
    expectVerdict(mornaq::loopGuardVerdict(row.settings, *row.history, {"b1", "Bob"}, Date{1000}),
                  row.expected == Expect::Off ? Expect::Off : Expect::Passes, "", row.name);
  }
}

TEST(ReplyHistoryFile, KeepsTheNewestTwoHundredFirstAndSkipsWhatItCannotRead) {
  Dictionary file{{"other", "kept"},
                  {"replies", platform::Array{platform::Value("not an entry"),
                                              Dictionary{{"text", "no time"}}}}};
  EXPECT_TRUE(mornaq::format::historyEntries(file).empty());
  for (int i = 0; i < 205; ++i) {
    mornaq::format::addToHistory(file, {Date{double(i)}, "a1", "Ann", std::to_string(i)});
  }
  const auto entries = mornaq::format::historyEntries(file);
  ASSERT_EQ(entries.size(), 200u);
  EXPECT_EQ(entries.front(), (mornaq::format::HistoryEntry{Date{204}, "a1", "Ann", "204"}));
  EXPECT_EQ(entries.back().text, "5");
  EXPECT_EQ(platform::lookUp(file, "other"), platform::Value("kept"));
}

}  // namespace
