#pragma once
// Files a test lays down before the code under test reads them, and reads
// back after.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace testing_support {

// Writes bytes to a file as they are, its folders created first.
void writeFile(const std::filesystem::path& file, std::string_view bytes);
// The whole content of a file ("" when it cannot be read).
std::string readFile(const std::filesystem::path& file);

// Replaces the property list at a device path of the current process with
// content, through the locked update as the Settings app writes it.
void writePlist(std::string_view devicePath, const platform::Dictionary& content);
// The property list at a device path of the current process as it is now;
// nullopt when it gives no dictionary (missing, say).
std::optional<platform::Dictionary> plistIfPresent(std::string_view devicePath);

// An XML property list whose root dictionary holds these entries
// ("<key>a</key><true/>..."), as the phone writes one.
std::string xmlPlist(std::string_view entries);

}  // namespace testing_support
