#include "Mornaq/engine/immediate_road.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Mornaq/engine/reply_path.h"
#include "common/settings_format.h"

namespace mornaq {
// Failure messages show a reply as its text and delay.
void PrintTo(const Reply& reply, std::ostream* out) {
  *out << '"' << reply.text << "\" after " << reply.delay.description();
}
}  // namespace mornaq

namespace {

using mornaq::IncomingMessage;
using mornaq::Reply;
using platform::Dictionary;

const std::string kBusy(mornaq::format::kBusyText);

// The reply request the road posts for a message that passed receipt, or none.
std::optional<Reply> replyOutcome(const IncomingMessage& incoming, const Dictionary& snapshot,
                                  const Dictionary& ruleFile) {
  mornaq::GivenWorld world;
  world.settings = std::make_shared<const Dictionary>(snapshot);
  world.rules = std::make_shared<const Dictionary>(ruleFile);
  return mornaq::dryRun(incoming, world).request;
}

// A plain one-to-one message from contact c1.
IncomingMessage fromC1(std::optional<std::string> text = "hello") {
  return IncomingMessage{.text = std::move(text), .contactIdentifier = "c1:ABPerson"};
}

Dictionary withEntry(Dictionary snapshot, Dictionary entry) {
  snapshot.emplace("c1", std::move(entry));
  return snapshot;
}

const Dictionary kGlobalAuto{{"isGlobalEnabled", true},
                             {"isGlobAutoEnabled", true},
                             {"customReplyGlob", "global"},
                             {"customReplyGlobDelay", "9"}};
const Dictionary kEnabled{{"isContactEnabled", true}};
const Dictionary kContactAuto{{"isContactEnabled", true},
                              {"isAutoReplyContact", true},
                              {"customReply", "contact"},
                              {"customReplyDelay", "4"}};
const Dictionary kContactRules{
    {"c1", Dictionary{{"hello", Dictionary{{"customMatch", "hello"},
                                           {"customMatchRe", "contact rule"},
                                           {"customMatchReDelay", "1"}}},
                      {"sms", Dictionary{{"customMatchRe", "no words"}}}}}};
const Dictionary kGlobalRules{
    {"GLOBALGLOBALGLOBAL", Dictionary{{"hello", Dictionary{{"customMatchRe", "global rule"},
                                                           {"customMatchReDelay", "2"}}},
                                      {"sms", Dictionary{{"customMatchRe", "no words"}}}}}};

Dictionary merged(Dictionary a, const Dictionary& b) {
  a.insert(b.begin(), b.end());
  return a;
}

Dictionary with(Dictionary settings, std::string key, platform::Value value) {
  settings.insert_or_assign(std::move(key), std::move(value));
  return settings;
}

TEST(ReplyOutcome, TheFirstRowThatAppliesDecides) {
  struct Row {
    const char* name;
    IncomingMessage message;
    Dictionary snapshot;
    Dictionary rules;
    std::optional<Reply> reply;
  };
  IncomingMessage muted = fromC1();
  muted.isMuted = true;
  IncomingMessage story = fromC1();
  story.sessionType = 3;
  IncomingMessage group = fromC1();
  group.isGroupChat = true;
  IncomingMessage noContact = fromC1();
  noContact.contactIdentifier = std::nullopt;
  const Dictionary contactWordMatch = with(kContactAuto, "isWordMatch", true);
  const Dictionary globalWordMatch = with(kGlobalAuto, "isWordMatchGlob", true);
  const Dictionary allRules = merged(kContactRules, kGlobalRules);

  const std::vector<Row> rows = {
      // Muted chats.
      {"muted", muted, kGlobalAuto, {}, std::nullopt},
      {"muted, answered when allowed",
       muted,
       with(kGlobalAuto, "isReplyToMuteU", true),
       {},
       Reply{"global", "9"}},
      // Status stories, messages without text, groups.
      {"story", story, kGlobalAuto, {}, std::nullopt},
      {"story from an allowed muted chat",
       [&] {
         auto m = story;
         m.isMuted = true;
         return m;
       }(),
       with(kGlobalAuto, "isReplyToMuteU", true),
       {},
       std::nullopt},
      {"no text", fromC1(std::nullopt), kGlobalAuto, {}, std::nullopt},
      {"group", group, kGlobalAuto, {}, std::nullopt},
      // A blacklisted entry bars both paths.
      {"blacklisted",
       fromC1(),
       withEntry(kGlobalAuto, with(kContactAuto, "isContactBlackList", true)),
       {},
       std::nullopt},
      {"blacklisted, not enabled",
       fromC1(),
       withEntry(kGlobalAuto, Dictionary{{"isContactBlackList", true}}),
       {},
       std::nullopt},
      // The contact path.
      {"contact rule", fromC1(), withEntry(kGlobalAuto, contactWordMatch), allRules,
       Reply{"contact rule", "1"}},
      {"contact rule for an empty text", fromC1(""), withEntry({}, contactWordMatch), kContactRules,
       Reply{"no words", "3"}},
      {"contact rule off", fromC1(), withEntry({}, kContactAuto), kContactRules,
       Reply{"contact", "4"}},
      {"contact rule missing", fromC1("bye"), withEntry({}, contactWordMatch), kContactRules,
       Reply{"contact", "4"}},
      {"contact reply with fallbacks",
       fromC1(),
       withEntry({}, Dictionary{{"isContactEnabled", true}, {"isAutoReplyContact", true}}),
       {},
       Reply{kBusy, "3"}},
      {"contact reply stored as a number",
       fromC1(),
       withEntry({}, with(kContactAuto, "customReply", 42)),
       {},
       Reply{"42", "4"}},
      {"contact enabled, nothing else", fromC1(), withEntry(globalWordMatch, kEnabled), allRules,
       std::nullopt},
      {"contact without a rule or its own reply", fromC1("bye"),
       withEntry(kGlobalAuto, with(kEnabled, "isWordMatch", true)), allRules, std::nullopt},
      // The global path.
      {"global rule", fromC1(), globalWordMatch, allRules, Reply{"global rule", "2"}},
      {"global rule without auto reply", fromC1(),
       with(globalWordMatch, "isGlobAutoEnabled", false), kGlobalRules, Reply{"global rule", "2"}},
      {"global: an empty text is not NOSMS", fromC1(""),
       with(globalWordMatch, "isGlobAutoEnabled", false), kGlobalRules, std::nullopt},
      {"global: an empty text gets the auto reply", fromC1(""), globalWordMatch, kGlobalRules,
       Reply{"global", "9"}},
      {"global rule not matched", fromC1("bye"), globalWordMatch, kGlobalRules,
       Reply{"global", "9"}},
      {"global rule ignored when word match is off", fromC1(), kGlobalAuto, kGlobalRules,
       Reply{"global", "9"}},
      {"global reply with fallbacks",
       fromC1(),
       Dictionary{{"isGlobalEnabled", true}, {"isGlobAutoEnabled", true}},
       {},
       Reply{kBusy, "3"}},
      {"global for an entry with both switches off",
       fromC1(),
       withEntry(kGlobalAuto, Dictionary{{"isContactEnabled", false}, {"customReply", "x"}}),
       {},
       Reply{"global", "9"}},
      {"global without a contact identifier",
       noContact,
       withEntry(kGlobalAuto, kContactAuto),
       {},
       Reply{"global", "9"}},
      {"contact rules never serve the global path", fromC1(), globalWordMatch,
       with(kContactRules, "GLOBALGLOBALGLOBAL", Dictionary{}), Reply{"global", "9"}},
      // Otherwise nothing.
      {"global off", fromC1(), with(kGlobalAuto, "isGlobalEnabled", false), kGlobalRules,
       std::nullopt},
      {"global without auto reply or match", fromC1("bye"),
       with(globalWordMatch, "isGlobAutoEnabled", false), kGlobalRules, std::nullopt},
      {"no settings", fromC1(), {}, allRules, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(replyOutcome(row.message, row.snapshot, row.rules), row.reply);
  }
}

TEST(Audience, TheGlobalPathAnswersOnlyThoseItIsFor) {
  struct Row {
    std::optional<platform::Value> audience;
    bool inAddressBook;
    std::optional<std::string> stoppedBy;  // none: the global reply is sent
    std::string why;                       // the audience step's sentence; none without one
  };
  const std::vector<Row> rows = {
      {std::nullopt, true, std::nullopt, ""},
      {std::nullopt, false, std::nullopt, ""},
      {"everyone", false, std::nullopt, "The global reply answers everyone."},
      {"contacts", true, std::nullopt,
       "The global reply answers only your contacts, and Ann is in your address book."},
      {"contacts", false, "audience",
       "The global reply answers only your contacts, and Ann is not in your address book."},
      {"nonContacts", false, std::nullopt,
       "The global reply answers only people not in your address book, and Ann is not in your "
       "address book."},
      {"nonContacts", true, "audience",
       "The global reply answers only people not in your address book, and Ann is in your "
       "address book."},
      {"Contacts", true, "audience",
       "The global reply answers nobody: its audience \"Contacts\" is not one Mornaq knows."},
      {"", false, "audience",
       "The global reply answers nobody: its audience \"\" is not one Mornaq knows."},
      {platform::Value(true), true, "audience",
       "The global reply answers nobody: its audience \"1\" is not one Mornaq knows."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.audience ? row.audience->description() : "absent");
    SCOPED_TRACE(row.inAddressBook ? "in the address book" : "not in it");
    Dictionary settings = kGlobalAuto;
    if (row.audience) settings.emplace("audienceGlob", *row.audience);
    IncomingMessage message = fromC1();
    message.displayName = "Ann";
    if (!row.inAddressBook) message.contactIdentifier.reset();
    mornaq::GivenWorld world;
    world.settings = std::make_shared<const Dictionary>(settings);
    const auto why = mornaq::dryRun(message, world);

    // Without a chat the road ends at noChat once the audience let it pass.
    const auto stopped = why.stoppedBy ? mornaq::whyReasonName(*why.stoppedBy) : "";
    EXPECT_EQ(stopped, row.stoppedBy.value_or("noChat"));
    EXPECT_EQ(why.request.has_value(), !row.stoppedBy);
    const auto step = std::find_if(why.steps.begin(), why.steps.end(), [](const auto& step) {
      return step.reason == mornaq::WhyReason::Audience;
    });
    EXPECT_EQ(step == why.steps.end() ? "" : step->why, row.why);
  }
}

// The audience is the global path's alone: a contact's own reply and the
// blacklist do not ask it.
TEST(Audience, LeavesTheContactPathAndTheBlacklistAlone) {
  for (const char* audience : {"contacts", "nonContacts", "nobody at all"}) {
    SCOPED_TRACE(audience);
    const Dictionary global = with(kGlobalAuto, "audienceGlob", audience);
    EXPECT_EQ(replyOutcome(fromC1(), withEntry(global, kContactAuto), {}), (Reply{"contact", "4"}));
    mornaq::GivenWorld world;
    world.settings = std::make_shared<const Dictionary>(
        withEntry(global, Dictionary{{"isContactBlackList", true}}));
    EXPECT_EQ(mornaq::whyReasonName(*mornaq::dryRun(fromC1(), world).stoppedBy), "blacklist");
  }
}

// A rule that cannot be tried answers nothing; the why says which and why,
// and the rules after it are tried as usual.
TEST(RuleProblems, AreNamedInTheRulesStep) {
  const Dictionary rules{
      {"GLOBALGLOBALGLOBAL", Dictionary{{"(order", Dictionary{{"customMatchKind", "pattern"}}},
                                        {"hi", Dictionary{{"customMatchKind", "fuzzy"}}},
                                        {"lunch", Dictionary{{"customMatchKind", "words"},
                                                             {"customMatchRe", "At one."}}}}}};
  mornaq::GivenWorld world;
  world.settings = std::make_shared<const Dictionary>(with(kGlobalAuto, "isWordMatchGlob", true));
  world.rules = std::make_shared<const Dictionary>(rules);
  struct Row {
    std::string text;
    std::string why;
  };
  const std::vector<Row> rows = {
      {"Lunch?",
       "The pattern of rule \"(order\" is not valid: missing ). The match kind \"fuzzy\" of rule "
       "\"hi\" is not known. The rule \"lunch\" of the global word-match rules answers."},
      {"Nothing this week",
       "The pattern of rule \"(order\" is not valid: missing ). The match kind \"fuzzy\" of rule "
       "\"hi\" is not known. The global reply answers."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const auto why = mornaq::dryRun(fromC1(row.text), world);
    const auto rulesStep = std::find_if(why.steps.begin(), why.steps.end(), [](const auto& step) {
      return step.reason == mornaq::WhyReason::NoReply;
    });
    ASSERT_NE(rulesStep, why.steps.end());
    EXPECT_EQ(rulesStep->why, row.why);
  }
}

TEST(Decision, BlacklistBarsBothPathsAndAnEnabledEntryIgnoresTheGlobalSwitch) {
  using mornaq::ReplyPath;
  struct Row {
    std::optional<platform::Value> entry;  // under the contact key
    bool isGlobalEnabled;
    ReplyPath path;
  };
  const Dictionary blacklisted{{"isContactBlackList", true}};
  const Dictionary enabledBlacklisted{{"isContactBlackList", true}, {"isContactEnabled", true}};
  const Dictionary off{{"isContactBlackList", false}, {"isContactEnabled", false}};
  const std::vector<Row> rows = {
      {std::nullopt, false, ReplyPath::None},
      {std::nullopt, true, ReplyPath::Global},
      {blacklisted, false, ReplyPath::None},
      {blacklisted, true, ReplyPath::None},
      {enabledBlacklisted, false, ReplyPath::None},
      {enabledBlacklisted, true, ReplyPath::None},
      {kEnabled, false, ReplyPath::Contact},
      {kEnabled, true, ReplyPath::Contact},
      {off, false, ReplyPath::None},
      {off, true, ReplyPath::Global},
      {Dictionary{}, true, ReplyPath::Global},
      {platform::Value("not an entry"), true, ReplyPath::Global},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    Dictionary snapshot{{"isGlobalEnabled", rows[i].isGlobalEnabled}};
    if (rows[i].entry) snapshot.emplace("c1", *rows[i].entry);
    const auto decision = mornaq::decide(fromC1(), snapshot);
    EXPECT_EQ(decision.path, rows[i].path);
    EXPECT_EQ(decision.contactKey, "c1");
    EXPECT_EQ(decision.entry != nullptr, rows[i].entry && rows[i].entry->isDictionary());
  }
}

// A contact whose key names a top-level setting (as a build that gave it an entry there may have
// left a dictionary) gets no entry: the global path, never its "own" reply or rules.
TEST(Decision, AReservedContactKeyHasNoEntry) {
  for (const auto key : mornaq::format::kReservedContactKeys) {
    SCOPED_TRACE(std::string(key));
    const Dictionary snapshot{{"isGlobalEnabled", true}, {std::string(key), kEnabled}};
    const IncomingMessage incoming{.text = "hello",
                                   .contactIdentifier = std::string(key) + ":ABPerson"};
    const auto decision = mornaq::decide(incoming, snapshot);
    EXPECT_EQ(decision.entry, nullptr);
    // A dictionary where the audience belongs is no audience: it answers nobody.
    EXPECT_EQ(decision.path, key == mornaq::format::kAudienceGlob ? mornaq::ReplyPath::None
                                                                  : mornaq::ReplyPath::Global);
  }
}

}  // namespace
