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

ReplyPath choosePath(const Decision& decision) {
  if (decision.isContactBlackList) return ReplyPath::None;
  // Only an entry can enable the contact path, and an enabled one keeps the
  // contact off the global path.
  if (decision.isContactEnabled) return ReplyPath::Contact;
  return decision.isGlobalEnabled ? ReplyPath::Global : ReplyPath::None;
}

}  // namespace

Decision decide(const IncomingMessage& incoming, const platform::Dictionary& snapshot) {
  Decision decision{.contactKey = contactKey(incoming.contactIdentifier)};
  decision.entry = contactEntry(snapshot, decision.contactKey);
  decision.isGlobalEnabled = switchValue(snapshot, format::kIsGlobalEnabled);
  decision.isGlobAutoEnabled = switchValue(snapshot, format::kIsGlobAutoEnabled);
  if (decision.entry) {
    decision.isContactEnabled = switchValue(*decision.entry, format::kIsContactEnabled);
    decision.isContactBlackList = switchValue(*decision.entry, format::kIsContactBlackList);
  }
  decision.path = choosePath(decision);
  return decision;
}

}  // namespace mornaq
