#pragma once
// The tests a received message goes through on its road, each with its name
// in the why-trace and the sentence that tells a user how it went. A test
// that fails is the reason the message got no reply. New tests are added
// here, in one place: the enum, a row of the table, and their sentences.
#include <initializer_list>
#include <string>
#include <string_view>

namespace mornaq {

enum class WhyReason {
  Switch,     // the master switch
  Muted,      // a muted chat, unless replies to muted chats are on
  Story,      // a status story
  NoText,     // a message without text
  Group,      // a group chat
  Blacklist,  // the sender is blacklisted
  Audience,   // the global path answers only contacts, or only others
  NoPath,     // neither the contact's reply nor the global reply applies
  NoReply,    // a path applies but sends nothing
  NoChat,     // no chat session to send into
  // The reply policies (reply_policies.h); each gives its own sentence.
  Schedule,     // received outside the schedule's window
  ReplyOnce,    // the chat got a reply within Reply once's hours
  UserReplied,  // the user wrote into the chat after the message arrived
  UserActive,   // the user sent a message within the away minutes
  LoopGuard,    // the chat got its limit of replies within 60 minutes
};

// The name of the reason in the why-trace ("switch", "noText", ...).
std::string_view whyReasonName(WhyReason reason);

// The sentence for a test that passed or stopped the message. Each reason's
// sentence takes its facts in the order the table gives (the sender's name,
// which reply, ...); see why_reasons.cpp.
std::string whySentence(WhyReason reason, bool stopped,
                        std::initializer_list<std::string_view> facts = {});

}  // namespace mornaq
