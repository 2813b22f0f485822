#include "Mornaq/engine/reply_path.h"

#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"

namespace mornaq {

namespace {

// A value under the contact key that is not a dictionary is no entry; nor is a
// top-level setting that a reserved key names.
const platform::Dictionary* contactEntry(const platform::Dictionary& snapshot,
                                         const std::optional<std::string>& key) {
  if (!key || format::isReservedContactKey(*key)) return nullptr;
  return platform::lookUp(snapshot, *key).dictionary();
}

// A sender is in the address book when the chat names a contact. An audience
// Mornaq does not know answers nobody: a reply to the wrong people is worse
// than none.
bool inAudience(const std::optional<std::string>& audience, bool hasContact) {
  if (!audience || *audience == format::kAudienceEveryone) return true;
  if (*audience == format::kAudienceContacts) return hasContact;
  if (*audience == format::kAudienceNonContacts) return !hasContact;
  return false;
}

ReplyPath choosePath(const Decision& decision) {
  if (decision.isContactBlackList) return ReplyPath::None;
  // Only an entry can enable the contact path, and an enabled one keeps the
  // contact off the global path.
  if (decision.isContactEnabled) return ReplyPath::Contact;
  return decision.isGlobalEnabled && decision.inAudience ? ReplyPath::Global : ReplyPath::None;
}

}  // namespace

Decision decide(const IncomingMessage& incoming, const platform::Dictionary& snapshot) {
  Decision decision{.contactKey = contactKey(incoming.contactIdentifier)};
  decision.entry = contactEntry(snapshot, decision.contactKey);
  decision.isGlobalEnabled = switchValue(snapshot, format::kIsGlobalEnabled);
  decision.isGlobAutoEnabled = switchValue(snapshot, format::kIsGlobAutoEnabled);
  if (const auto& audience = platform::lookUp(snapshot, format::kAudienceGlob); !audience.isNil()) {
    decision.audience = audience.stringValue().value_or(audience.description());
  }
  decision.inAudience = inAudience(decision.audience, incoming.contactIdentifier.has_value());
  if (decision.entry) {
    decision.isContactEnabled = switchValue(*decision.entry, format::kIsContactEnabled);
    decision.isContactBlackList = switchValue(*decision.entry, format::kIsContactBlackList);
  }
  decision.path = choosePath(decision);
  return decision;
}

}  // namespace mornaq
