#include "Mornaq/engine/screening.h"

#include "Mornaq/engine/setting_values.h"
#include "common/settings_format.h"

namespace mornaq {

Screening screen(const IncomingMessage& incoming, const platform::Dictionary& snapshot) {
  if (incoming.isMuted && !switchValue(snapshot, format::kIsReplyToMuteU)) return Screening::Muted;
  if (incoming.sessionType == kStatusStorySessionType) return Screening::Story;
  // An empty text is still a text: only a message without one is refused.
  if (!incoming.text) return Screening::NoText;
  if (incoming.isGroupChat) return Screening::Group;
  return Screening::Pass;
}

}  // namespace mornaq
