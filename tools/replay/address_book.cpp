#include "tools/replay/address_book.h"

#include "MornaqPrefs/contacts/contact_directory.h"
#include "platform/process/process.h"

namespace tools::replay {

std::vector<ListedContact> listedContacts(const std::string& root) {
  platform::Process process({.bundleIdentifier = "com.apple.Preferences",
                             .name = "Preferences",
                             .deviceRoot = root,
                             .clock = platform::Clock::Virtual,
                             .logSink = {}});
  platform::ProcessScope scope(process);
  const auto sorted = mornaqprefs::scanContacts();
  std::vector<ListedContact> contacts;
  contacts.reserve(sorted.count());
  for (std::size_t i = 0; i < sorted.count(); ++i) {
    contacts.push_back({std::string(sorted.keyAtIndex(i)), sorted.objectAtIndex(i).description()});
  }
  return contacts;
}

}  // namespace tools::replay
