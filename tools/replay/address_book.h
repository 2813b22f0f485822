#pragma once
// A device root's address book as `mornaq contacts` lists it, for matching
// a chat export's authors to contacts by display name.
#include <string>
#include <vector>

namespace tools::replay {

struct ListedContact {
  std::string key;          // the contact key: the identifier without ":ABPerson"
  std::string displayName;  // as the settings pages list it, made unique ("Ann-2")
};

// The contacts the settings pages list for the device root, in their order
// (by display name); empty without an address book. Runs a Settings app
// process on the root, which writes nothing there.
std::vector<ListedContact> listedContacts(const std::string& root);

}  // namespace tools::replay
