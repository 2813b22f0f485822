#pragma once
// The contacts the settings pages list, in their order, each with the
// address-book identifier the messaging app names its chat by: what
// `mornaq contacts` prints and `mornaq phone` gives its page.
#include <filesystem>
#include <string>
#include <vector>

namespace tools {

struct ListedContact {
  std::string identifier;  // as the address book has it, with its ":ABPerson"
  std::string key;         // the contact key the settings are stored under
  std::string name;        // the display name the pages list it under
};

// Read as the Settings app on that device root would read them.
std::vector<ListedContact> listedContacts(const std::filesystem::path& root);

}  // namespace tools
