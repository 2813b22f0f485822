#pragma once
// Everything `mornaq phone` serves, read once at start into memory: the
// page's embedded files, the bundle's images from the device root, and the
// address book as the settings pages list it, with each contact's identifier.
#include <filesystem>

#include "tools/phone/request_handling.h"

namespace tools::phone {

// Paths: "/" (the page), "/phone.css", "/phone.js", "/images/NAME.png" for
// the bundle's images, "/contacts.json" ([{"identifier":I,"key":K,"name":S},...]).
Site loadSite(const std::filesystem::path& root, int port);

}  // namespace tools::phone
