#pragma once
// The contact key: a contact's address-book identifier with every ":ABPerson"
// removed. The settings pages form it from the address book and the engine
// from a chat, so both include this one definition.
#include <string>
#include <string_view>

#include "common/settings_format.h"

namespace mornaq::format {

// One pass over the original text, as the phone's replace-all does: the
// pieces left either side of a removed suffix are not searched again.
inline std::string contactKey(std::string_view identifier) {
  constexpr std::string_view suffix = kAddressBookSuffix;
  std::string key;
  std::size_t from = 0;
  for (auto found = identifier.find(suffix); found != std::string_view::npos;
       found = identifier.find(suffix, from)) {
    key.append(identifier.substr(from, found - from));
    from = found + suffix.size();
  }
  key.append(identifier.substr(from));
  return key;
}

}  // namespace mornaq::format
