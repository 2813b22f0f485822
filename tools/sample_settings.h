#pragma once
// A sample device for trying Mornaq: settings as the Settings app would have
// written them (the master switch on, a global reply, Ann with a reply of her
// own and three word-match rules, Bob blacklisted) and an address book with
// those people in it.
#include <filesystem>

#include "platform/foundation/result.h"

namespace tools {

// Writes both settings files through the locked update, replacing their
// content; the first failure says which file and why.
platform::Result<> writeSampleSettings(const std::filesystem::path& root);
// Lays the sample address book into the device root, whole or not at all.
platform::Result<> writeSampleAddressBook(const std::filesystem::path& root);

}  // namespace tools
